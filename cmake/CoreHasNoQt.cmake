# The simulation core must stay free of the desktop toolkit: the headless runner, the tests
# and the benchmarks use it alone. Refuse to configure if any core file includes Qt.
function(tarnwake_check_core_has_no_qt subsystems)
    foreach(sub IN LISTS subsystems)
        file(GLOB files ${CMAKE_SOURCE_DIR}/src/${sub}/*.cpp ${CMAKE_SOURCE_DIR}/src/${sub}/*.h)
        foreach(f IN LISTS files)
            file(STRINGS ${f} hits REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"](Q[A-Za-z]|Qt)")
            if(hits)
                message(FATAL_ERROR "${f} includes Qt; the core library must not: ${hits}")
            endif()
        endforeach()
    endforeach()
endfunction()
