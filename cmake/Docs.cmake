# `make docs`: the reference, written by Doxygen into build/docs/html/ from the public headers as they are
# installed (the `headers` install component, put into build/docs/include/). The headers' plain one-line
# comments are the reference (cmake/DoxygenFilter.awk hands them to Doxygen). Every public declaration
# must carry one: undocumented ones are warnings, written to build/docs/warnings.txt, which the
# docs_have_no_warnings test checks.
find_program(VANTA_DOXYGEN doxygen)
set(VANTA_DOCS_DIR ${CMAKE_BINARY_DIR}/docs)
set(VANTA_DOCS_HEADERS ${VANTA_DOCS_DIR}/include/vantamax)
set(VANTA_DOCS_INPUT "${VANTA_DOCS_HEADERS} ${CMAKE_SOURCE_DIR}/docs/mainpage.md")
configure_file(${CMAKE_SOURCE_DIR}/cmake/Doxyfile.in ${VANTA_DOCS_DIR}/Doxyfile @ONLY)
if(VANTA_DOXYGEN)
    add_custom_target(docs
        COMMAND ${CMAKE_COMMAND} -E rm -rf ${VANTA_DOCS_DIR}/include ${VANTA_DOCS_DIR}/html
            ${VANTA_DOCS_DIR}/warnings.txt
        COMMAND ${CMAKE_COMMAND} --install ${CMAKE_BINARY_DIR} --component headers --prefix ${VANTA_DOCS_DIR}
        COMMAND ${VANTA_DOXYGEN} ${VANTA_DOCS_DIR}/Doxyfile
        WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
        COMMENT "Writing the reference into ${VANTA_DOCS_DIR}/html"
        VERBATIM)
else()
    add_custom_target(docs COMMAND ${CMAKE_COMMAND} -E echo "doxygen is not installed (tools/install-deps.sh installs it)")
endif()
