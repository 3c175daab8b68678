# `make docs`: the reference, written by Doxygen from the public headers into build/docs/html/. The
# headers' plain one-line comments are the reference (cmake/DoxygenFilter.awk hands them to Doxygen).
# Every public declaration must carry one: undocumented ones are warnings, written to
# build/docs/warnings.txt, and the docs_have_no_warnings test fails on any.
find_program(VANTA_DOXYGEN doxygen)
set(VANTA_DOCS_DIR ${CMAKE_BINARY_DIR}/docs)
set(VANTA_DOCS_INPUT "")
foreach(subsystem runtime stream system pixmap graphics audio console script startup platform)
    string(APPEND VANTA_DOCS_INPUT " ${CMAKE_SOURCE_DIR}/${subsystem}")
endforeach()
string(APPEND VANTA_DOCS_INPUT " ${VANTA_GENERATED_INCLUDE_DIR}/runtime/Version.h ${CMAKE_SOURCE_DIR}/docs/mainpage.md")
configure_file(${CMAKE_SOURCE_DIR}/cmake/Doxyfile.in ${VANTA_DOCS_DIR}/Doxyfile @ONLY)
if(VANTA_DOXYGEN)
    add_custom_target(docs
        COMMAND ${CMAKE_COMMAND} -E make_directory ${VANTA_DOCS_DIR}
        COMMAND ${VANTA_DOXYGEN} ${VANTA_DOCS_DIR}/Doxyfile
        WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
        COMMENT "Writing the reference into ${VANTA_DOCS_DIR}/html"
        VERBATIM)
else()
    add_custom_target(docs COMMAND ${CMAKE_COMMAND} -E echo "doxygen is not installed (tools/install-deps.sh installs it)")
endif()
