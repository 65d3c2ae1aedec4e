# Sets VELTA_LIBRARY_VERSION (three numbers) and VELTA_BUILD_TIME, the local
# time of the build with its offset from UTC, e.g.
# "Fri May 17 14:03:12 2024 +0200".
#
# The build time is that of the sources, not of the configuration: the
# environment's SOURCE_DATE_EPOCH when set, else the time of the sources'
# last commit, else the time of the first configuration (kept in the cache).
# Configuring again (scripts/run.sh does on every run) then leaves the
# generated source and the kernel's compile definition unchanged, and the
# build has nothing to redo. VELTA_BUILD_EPOCH (seconds since 1970) is
# cached for the kernel's own version text.
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(VELTA_BUILD_EPOCH "$ENV{SOURCE_DATE_EPOCH}" CACHE INTERNAL "time of the sources")
else()
  find_package(Git QUIET)
  set(velta_commit_time "")
  if(GIT_FOUND)
    execute_process(COMMAND ${GIT_EXECUTABLE} -C ${PROJECT_SOURCE_DIR} log -1 --format=%ct
                    OUTPUT_VARIABLE velta_commit_time OUTPUT_STRIP_TRAILING_WHITESPACE
                    ERROR_QUIET)
  endif()
  if(velta_commit_time MATCHES "^[0-9]+$")
    set(VELTA_BUILD_EPOCH "${velta_commit_time}" CACHE INTERNAL "time of the sources")
  elseif(NOT DEFINED VELTA_BUILD_EPOCH)
    string(TIMESTAMP velta_now "%s" UTC)
    set(VELTA_BUILD_EPOCH "${velta_now}" CACHE INTERNAL "time of the sources")
  endif()
endif()

# Formats the build time into variable: string(TIMESTAMP) reads the time
# from SOURCE_DATE_EPOCH, set only for the call.
function(velta_build_time variable format)
  set(saved "$ENV{SOURCE_DATE_EPOCH}")
  set(had_saved FALSE)
  if(DEFINED ENV{SOURCE_DATE_EPOCH})
    set(had_saved TRUE)
  endif()
  set(ENV{SOURCE_DATE_EPOCH} "${VELTA_BUILD_EPOCH}")
  string(TIMESTAMP text "${format}" ${ARGN})
  if(had_saved)
    set(ENV{SOURCE_DATE_EPOCH} "${saved}")
  else()
    unset(ENV{SOURCE_DATE_EPOCH})
  endif()
  set(${variable} "${text}" PARENT_SCOPE)
endfunction()

velta_build_time(velta_local_time "%a %b %d %H:%M:%S %Y")
velta_build_time(velta_local_parts "%Y;%j;%H;%M")
velta_build_time(velta_utc_parts "%Y;%j;%H;%M" UTC)
foreach(zone local utc)
  list(GET velta_${zone}_parts 0 velta_${zone}_year)
  list(GET velta_${zone}_parts 1 velta_${zone}_day)
  list(GET velta_${zone}_parts 2 velta_${zone}_hour)
  list(GET velta_${zone}_parts 3 velta_${zone}_minute)
  # Leading zeros removed so that the numbers are read as decimals.
  foreach(field year day hour minute)
    string(REGEX REPLACE "^0+([0-9])" "\\1" velta_${zone}_${field} "${velta_${zone}_${field}}")
  endforeach()
endforeach()
# Across a new year the day numbers restart; the clocks are then a day apart.
if(velta_local_year GREATER velta_utc_year)
  set(velta_day_difference 1)
elseif(velta_local_year LESS velta_utc_year)
  set(velta_day_difference -1)
else()
  math(EXPR velta_day_difference "${velta_local_day} - ${velta_utc_day}")
endif()
math(EXPR velta_offset "${velta_day_difference} * 1440 + (${velta_local_hour} - ${velta_utc_hour}) * 60 + ${velta_local_minute} - ${velta_utc_minute}")
set(velta_offset_sign "+")
if(velta_offset LESS 0)
  set(velta_offset_sign "-")
  math(EXPR velta_offset "0 - ${velta_offset}")
endif()
math(EXPR velta_offset_hours "${velta_offset} / 60")
math(EXPR velta_offset_minutes "${velta_offset} % 60")
foreach(field velta_offset_hours velta_offset_minutes)
  if(${field} LESS 10)
    set(${field} "0${${field}}")
  endif()
endforeach()
set(VELTA_LIBRARY_VERSION "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}")
set(VELTA_BUILD_TIME "${velta_local_time} ${velta_offset_sign}${velta_offset_hours}${velta_offset_minutes}")
