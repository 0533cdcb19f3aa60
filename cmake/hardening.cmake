# The compiler's and linker's defences, for every program and test of the
# build: position-independent executables, a stack protector, read-only
# relocations bound at start-up (RELRO, BIND_NOW) and, where the code is
# optimised and no sanitizer watches it, glibc's checked (fortified)
# functions. KINROLL_HARDEN=OFF leaves them all out.

include_guard(GLOBAL)

option(KINROLL_HARDEN "Build with PIE, -fstack-protector-strong, _FORTIFY_SOURCE=2, RELRO and BIND_NOW" ON)
# Whether this build has every defence, fortified functions included.
set(KINROLL_FULLY_HARDENED FALSE)

if(KINROLL_HARDEN)
  include(CheckPIESupported)
  check_pie_supported(OUTPUT_VARIABLE pie_output LANGUAGES CXX)
  if(NOT CMAKE_CXX_LINK_PIE_SUPPORTED)
    message(FATAL_ERROR "The linker makes no position-independent executable "
                        "(-DKINROLL_HARDEN=OFF builds without): ${pie_output}")
  endif()
  set(CMAKE_POSITION_INDEPENDENT_CODE ON)
  # The static libraries, compiled -fPIC, only ever go into these programs:
  # no function of theirs is replaced at load time, so calls within a file
  # may be inlined as in the programs' own code.
  add_compile_options(-fno-semantic-interposition)
  add_compile_options(-fstack-protector-strong)
  add_link_options(LINKER:-z,relro LINKER:-z,now)
  # _FORTIFY_SOURCE needs optimisation (glibc warns without), and the
  # sanitizers check those calls better themselves. A level chosen in
  # CXXFLAGS is kept.
  if(NOT KINROLL_SANITIZE AND NOT KINROLL_FUZZ AND NOT CMAKE_CXX_FLAGS MATCHES "_FORTIFY_SOURCE")
    add_compile_definitions($<$<NOT:$<CONFIG:Debug>>:_FORTIFY_SOURCE=2>)
    if(NOT CMAKE_BUILD_TYPE STREQUAL "Debug")
      set(KINROLL_FULLY_HARDENED TRUE)
    endif()
  endif()
endif()
