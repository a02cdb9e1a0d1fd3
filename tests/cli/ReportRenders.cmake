# The batch report renders in a browser: headless Chromium lays the page out, and a check added
# to a copy of it measures the three charts and their bars as drawn.
#   cmake -DCLI=tarnwake-cli -DCHROMIUM=chromium -DGAME_DIR=data -DSCENARIO=Scenarios/Coronel.nsc
#         -DWORK_DIR=dir -P ReportRenders.cmake
if(NOT CHROMIUM)
    message(FATAL_ERROR "Chromium was not found: scripts/deps.sh installs it")
endif()
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})
execute_process(COMMAND ${CLI} --game-dir ${GAME_DIR} --user-dir ${WORK_DIR}/user --seed 1
                        batch "${SCENARIO}" --runs 6 --level historical
                        --report ${WORK_DIR}/report.html
                RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT code EQUAL 0)
    message(FATAL_ERROR "batch failed (${code}):\n${out}\n${err}")
endif()
file(READ ${WORK_DIR}/report.html page)
# The report itself carries no script; the check is the test's own.
set(check [=[
<script>
const charts = [...document.querySelectorAll('svg.chart')].map(svg => {
  const box = svg.getBoundingClientRect();
  const bars = [...svg.querySelectorAll('rect.bar')].filter(r => {
    const b = r.getBoundingClientRect();
    return b.width > 0 && b.height > 0;
  });
  return svg.id + ':' + Math.round(box.width) + 'x' + Math.round(box.height) + ':' + bars.length;
});
const verdict = document.createElement('pre');
verdict.id = 'verdict';
verdict.textContent = 'CHARTS ' + charts.join(' ') + ' END';
document.body.appendChild(verdict);
</script>
]=])
string(REPLACE "</body>" "${check}</body>" page "${page}")
file(WRITE ${WORK_DIR}/checked.html "${page}")
execute_process(COMMAND ${CHROMIUM} --headless --no-sandbox --disable-gpu --no-first-run
                        --user-data-dir=${WORK_DIR}/profile --virtual-time-budget=5000
                        --dump-dom file://${WORK_DIR}/checked.html
                RESULT_VARIABLE code OUTPUT_VARIABLE dom ERROR_VARIABLE err TIMEOUT 120)
if(NOT code EQUAL 0)
    message(FATAL_ERROR "Chromium failed (${code}):\n${err}")
endif()
string(REGEX MATCH "id=\"verdict\">CHARTS [^<]* END" verdict "${dom}")
if(NOT verdict)
    message(FATAL_ERROR "the check did not run:\n${dom}")
endif()
message(STATUS "${verdict}")
# Each chart is laid out at its full size, with bars drawn: losses (always), hit rates (the
# ships fired) and the ships most often sunk (ships sank at Coronel).
foreach(chart losses hitrates mostsunk)
    if(NOT verdict MATCHES " ${chart}:640x[1-9][0-9]+:[1-9][0-9]*")
        message(FATAL_ERROR "chart ${chart} is not drawn: ${verdict}")
    endif()
endforeach()
