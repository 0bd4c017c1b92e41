# Writes OUTPUT, which defines BUILD_COMMIT for the checkout at SOURCE_DIR, PROGRAM_VERSION as VERSION and
# BUILD_TYPE (see demo/app/build_info.h). The file is rewritten only when its text changes, so that other
# builds compile nothing.
set(commit unknown)
if(GIT_EXECUTABLE)
    # --exclude='*' leaves every tag out: always the full hash.
    execute_process(COMMAND ${GIT_EXECUTABLE} describe --always --dirty --abbrev=40 --exclude=*
                    WORKING_DIRECTORY ${SOURCE_DIR} OUTPUT_VARIABLE described RESULT_VARIABLE failed
                    OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    if(NOT failed AND described)
        set(commit ${described})
    endif()
endif()
if(NOT BUILD_TYPE)
    set(BUILD_TYPE none)
endif()
string(CONCAT content "#include \"app/build_info.h\"\n\nconst char* const BUILD_COMMIT = \"${commit}\";\n"
              "const char* const PROGRAM_VERSION = \"${VERSION}\";\n"
              "const char* const BUILD_TYPE = \"${BUILD_TYPE}\";\n")
if(EXISTS ${OUTPUT})
    file(READ ${OUTPUT} previous)
endif()
if(NOT content STREQUAL previous)
    file(WRITE ${OUTPUT} "${content}")
endif()
