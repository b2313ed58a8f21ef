# Windows cross-builds: the stand-in QuickTime.qts variants and the binding
# probe, each in a folder of its own under tests/win of the build. The x86-64
# ones run under wine64 on the host, the 32-bit ones in the emulated machine.
set(standin_dir ${CMAKE_CURRENT_SOURCE_DIR}/standin)
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(standin_dispatcher ${standin_dir}/dispatcher_x86_64.S)
else()
  set(standin_dispatcher ${standin_dir}/dispatcher_i686.S)
endif()

function(lumarest_standin target folder def)
  add_library(${target} SHARED ${standin_dir}/standin.cpp ${standin_dispatcher}
              ${standin_dir}/${def})
  target_link_libraries(${target} PRIVATE lumarest_qt_builtin)
  set_target_properties(${target} PROPERTIES
    PREFIX "" OUTPUT_NAME QuickTime SUFFIX .qts
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/${folder}
    ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/${folder})
endfunction()

enable_language(ASM)
# The one the end-to-end tests use: serves everything, no test hooks.
lumarest_standin(standin_qts standin standin.def)
# Without the _CallComponent export.
lumarest_standin(standin_no_callcomponent_qts standin-no-callcomponent
                 standin_no_callcomponent.def)
# With the environment-steered start-up, EnterMovies and event log.
lumarest_standin(standin_hooks_qts standin-hooks standin.def)
target_compile_definitions(standin_hooks_qts PRIVATE LUMAREST_STANDIN_HOOKS)

add_executable(binding_probe binding_probe.cpp)
target_link_libraries(binding_probe PRIVATE lumarest_qt_win32)
set_target_properties(binding_probe PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
