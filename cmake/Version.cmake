# The project's version (project(... VERSION)) as a header, for the About box
# and kestrova-cli --version: link the interface library `version`.
configure_file(${CMAKE_CURRENT_LIST_DIR}/Version.h.in ${PROJECT_BINARY_DIR}/generated/Version.h @ONLY)
add_library(version INTERFACE)
target_include_directories(version INTERFACE ${PROJECT_BINARY_DIR}/generated)
