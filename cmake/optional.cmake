# The optional programs: each is built or not by a cache option of its own,
# from the pkg-config modules it needs.

include_guard(GLOBAL)

# kinroll_optional(OPTION PROGRAM MODULE:PACKAGE...)
#
# Decides whether the optional program PROGRAM is built, from the cache
# option OPTION and the pkg-config MODULEs PROGRAM needs, each named with the
# Debian PACKAGE that provides it (a module may carry a version, as in
# "libzip>=1.7:libzip-dev"). OPTION is a string, AUTO (the default), ON or
# OFF, and keeps the value given on the command line:
#   AUTO  builds PROGRAM where every module is found, and otherwise says
#         which packages are missing;
#   ON    builds PROGRAM, and stops the configure step with the names of the
#         missing packages when a module is not found;
#   OFF   never builds PROGRAM and looks up nothing.
# Sets, in the caller's scope, OPTION_ENABLED (TRUE or FALSE) and
# OPTION_LIBRARIES, the modules' imported targets (PkgConfig::KINROLL_PC_*)
# to link PROGRAM with; both are plain variables, made afresh on each
# configure step.
function(kinroll_optional option program)
  set(${option} AUTO CACHE STRING
      "Build ${program}: AUTO (where its libraries are found), ON or OFF")
  set_property(CACHE ${option} PROPERTY STRINGS AUTO ON OFF)
  string(TOUPPER "${${option}}" mode)
  if(mode MATCHES "^(ON|YES|TRUE|Y|1)$")
    set(mode ON)
  elseif(mode MATCHES "^(OFF|NO|FALSE|N|0)$")
    set(mode OFF)
  elseif(NOT mode STREQUAL "AUTO")
    message(FATAL_ERROR "${option}=${${option}}: the choices are AUTO, ON and OFF")
  endif()

  set(libraries "")
  set(missing "")
  if(NOT mode STREQUAL "OFF")
    find_package(PkgConfig QUIET)
    if(NOT PKG_CONFIG_FOUND)
      list(APPEND missing pkg-config)
    endif()
    foreach(need IN LISTS ARGN)
      if(NOT need MATCHES "^([^:]+):([^:]+)$")
        message(FATAL_ERROR "kinroll_optional(${option}): ${need} is not MODULE:PACKAGE")
      endif()
      set(module ${CMAKE_MATCH_1})
      set(package ${CMAKE_MATCH_2})
      string(MAKE_C_IDENTIFIER "KINROLL_PC_${module}" prefix)
      if(PKG_CONFIG_FOUND)
        pkg_check_modules(${prefix} QUIET IMPORTED_TARGET ${module})
      endif()
      if(${prefix}_FOUND)
        list(APPEND libraries PkgConfig::${prefix})
      else()
        list(APPEND missing ${package})
      endif()
    endforeach()
  endif()
  list(JOIN missing " " missing_text)

  if(mode STREQUAL "OFF")
    set(enabled FALSE)
    message(STATUS "${program}: not built (${option}=OFF)")
  elseif(missing)
    if(mode STREQUAL "ON")
      message(FATAL_ERROR "${option}=ON, but ${program} needs packages that are not "
                          "installed: ${missing_text} (apt-get install ${missing_text})")
    endif()
    set(enabled FALSE)
    message(STATUS "${program}: not built, missing ${missing_text} "
                   "(apt-get install ${missing_text}; -D${option}=OFF leaves it out)")
  else()
    set(enabled TRUE)
    message(STATUS "${program}: built (${option}=${${option}})")
  endif()
  set(${option}_ENABLED ${enabled} PARENT_SCOPE)
  set(${option}_LIBRARIES ${libraries} PARENT_SCOPE)
endfunction()
