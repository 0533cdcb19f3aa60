# Read by cpack before it makes the package: the time stamps of the
# package's files and archives are those of the change log's latest entry
# (found at configure time), unless SOURCE_DATE_EPOCH is already set.
if("$ENV{SOURCE_DATE_EPOCH}" STREQUAL "")
  set(ENV{SOURCE_DATE_EPOCH} "${CPACK_KINROLL_SOURCE_DATE_EPOCH}")
endif()
