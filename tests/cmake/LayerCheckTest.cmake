# The layer check on small trees: each case writes its files under WORK_DIR/<case>/src, runs
# the check there and expects it to pass, or to fail with every message given (literally).
#   cmake -DLAYER_CHECK=<cmake/LayerCheck.cmake> -DWORK_DIR=<scratch folder> -P LayerCheckTest.cmake
cmake_minimum_required(VERSION 3.25)

set(failures)

# layer_case(name PASSES|FAILS [message...] FILE path text [FILE path text...])
function(layer_case name verdict)
    set(root "${WORK_DIR}/${name}")
    file(REMOVE_RECURSE "${root}")
    set(expected)
    set(i 2)
    while(i LESS ARGC)
        if(ARGV${i} STREQUAL "FILE")
            math(EXPR path "${i} + 1")
            math(EXPR text "${i} + 2")
            file(WRITE "${root}/${ARGV${path}}" "${ARGV${text}}")
            math(EXPR i "${i} + 3")
        else()
            list(APPEND expected "${ARGV${i}}")
            math(EXPR i "${i} + 1")
        endif()
    endwhile()

    execute_process(COMMAND ${CMAKE_COMMAND} -DROOT=${root} -P ${LAYER_CHECK}
                    RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE out)
    set(problem)
    if(verdict STREQUAL "PASSES" AND NOT result EQUAL 0)
        set(problem "refused a sound tree")
    elseif(verdict STREQUAL "FAILS" AND result EQUAL 0)
        set(problem "passed a tree that breaks the table")
    endif()
    foreach(message IN LISTS expected)
        string(FIND "${out}" "${message}" at)
        if(at EQUAL -1)
            string(APPEND problem " [missing: ${message}]")
        endif()
    endforeach()
    if(problem)
        set(failures "${failures}${name}: ${problem}\n${out}\n" PARENT_SCOPE)
    endif()
endfunction()

# Down the layers and through them (engine reaches map and core by combat), into itself by
# folder or by a bare name, the standard library, and Qt in the desktop program.
layer_case(sound_tree PASSES
    FILE src/engine/Movement.cpp [[
#include "engine/Movement.h"
#include "Side.h"

#include "campaign/Minefield.h"
#include "combat/Division.h"
#include "core/Random.h"
#include "designs/Ship.h"
#include "map/Globe.h"

#include <map>
#include <sys/types.h>
#include <vector>
]]
    FILE src/ui/ChartView.cpp [[
#include "ui/ChartView.h"
#include "ai/Plan.h"
#include "battlegen/Battle.h"
#include <QPainter>
#include <QtWidgets/QWidget>
]])

# Up one layer, up several, and the line of each wrong include, a commented-out one before
# them not counted.
layer_case(includes_up_the_layers FAILS
    "src/core/Clock.h:4: core may not include engine (core may include only core): #include \"engine/GameWorld.h\""
    "src/core/Clock.h:7: core may not include engine"
    "src/combat/Gunnery.cpp:2: combat may not include engine (combat may include only combat, map, core, designs)"
    FILE src/core/Clock.h [[
#pragma once
// #include "engine/GameWorld.h" was here
#include <string>
#include "engine/GameWorld.h"

#include "core/Random.h"
  #  include "engine/GameWorld.h"
]]
    FILE src/combat/Gunnery.cpp [[
#include "combat/Gunnery.h"
#include "engine/Side.h"
]])

# Neither of two folders on one layer, nor campaign and combat, may include the other.
layer_case(includes_across_the_layers FAILS
    "src/map/Globe.cpp:2: map may not include designs"
    "src/campaign/Minefield.h:2: campaign may not include combat"
    FILE src/map/Globe.cpp [[
#include "map/Globe.h"
#include "designs/Ship.h"
]]
    FILE src/campaign/Minefield.h [[
#pragma once
#include "combat/Division.h"
]])

layer_case(library_includes_qt FAILS
    "src/core/Colour.h:3: core may not include Qt: #include <QColor>"
    "src/scenario/Loader.cpp:1: scenario may not include Qt: #include <QtCore/QFile>"
    "src/cli/Run.cpp:1: cli may not include Qt"
    FILE src/core/Colour.h "#pragma once\n\n#include <QColor>\n"
    FILE src/scenario/Loader.cpp "#include <QtCore/QFile>\n"
    FILE src/cli/Run.cpp "#include \"QString\"\n")

# Nothing includes the programs, not even each other.
layer_case(includes_a_program FAILS
    "src/engine/GameWorld.cpp:1: engine may not include ui"
    "src/ui/MainWindow.cpp:1: ui may not include cli"
    FILE src/engine/GameWorld.cpp "#include \"ui/ChartView.h\"\n"
    FILE src/ui/MainWindow.cpp "#include \"cli/Commands.h\"\n")

# A path past the table, and a folder the table does not know.
layer_case(outside_the_table FAILS
    "src/engine/Side.h:1: .. is no folder of the layer table"
    "src/tactics/: a folder without a row in the layer table"
    FILE src/engine/Side.h "#include \"../core/Random.h\"\n"
    FILE src/tactics/Tactics.h "#pragma once\n")

if(failures)
    message(FATAL_ERROR "${failures}")
endif()
