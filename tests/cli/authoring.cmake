# Command-line tests of `velmora pack` and `velmora list`: each case of
# authoring_tests.sh runs the built binary in a scratch folder of the build tree.
foreach(case demo manifest-error refused-step corrupt two-parts output-folder large-file setup-program
             check reproducible)
  add_test(NAME cli.authoring.${case}
           COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/authoring_tests.sh ${case} $<TARGET_FILE:velmora>
                   ${CMAKE_CURRENT_BINARY_DIR}/authoring-${case} ${CMAKE_SOURCE_DIR})
endforeach()
