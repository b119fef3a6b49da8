# The shipped program comes out byte for byte the same from the same commit, whoever builds it, wherever and
# whenever: an author can rebuild a release, compare it with its SHA256SUMS, and know what they sign.
if(NOT TARGET velmaro)
  return()
endif()

# No build folder in the program: paths that reach it through __FILE__ (headers' assertions) are relative.
foreach(target velmaro velmaro_core velmaro_win32_paint)
  if(NOT TARGET ${target})
    continue()
  endif()
  target_compile_options(${target} PRIVATE
    -ffile-prefix-map=${PROJECT_SOURCE_DIR}/=
    -ffile-prefix-map=${PROJECT_BINARY_DIR}/=)
endforeach()

# The PE header's link time is SOURCE_DATE_EPOCH as it was at configure time (scripts/release.sh sets it to
# the commit's date), else zero. ld reads the variable when it links, so the link step gets it from here
# rather than from whatever shell runs the build later.
set(VELMARO_PE_TIME "$ENV{SOURCE_DATE_EPOCH}")
if(VELMARO_PE_TIME STREQUAL "")
  set(VELMARO_PE_TIME 0)
elseif(NOT VELMARO_PE_TIME MATCHES "^[0-9]+$" OR VELMARO_PE_TIME GREATER 4294967295)
  message(FATAL_ERROR "SOURCE_DATE_EPOCH is \"${VELMARO_PE_TIME}\": a PE time stamp is 0 to 2^32-1 seconds")
endif()
set_property(TARGET velmaro PROPERTY CXX_LINKER_LAUNCHER ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${VELMARO_PE_TIME})

# The version record says the project's version.
file(CONFIGURE OUTPUT ${PROJECT_BINARY_DIR}/generated/velmaro_version.h CONTENT
"#define VELMARO_VERSION_MAJOR ${PROJECT_VERSION_MAJOR}
#define VELMARO_VERSION_MINOR ${PROJECT_VERSION_MINOR}
#define VELMARO_VERSION_PATCH ${PROJECT_VERSION_PATCH}
#define VELMARO_VERSION \"${PROJECT_VERSION}\"
")
target_include_directories(velmaro PRIVATE ${PROJECT_BINARY_DIR}/generated)
