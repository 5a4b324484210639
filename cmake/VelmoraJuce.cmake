# The JUCE modules are compiled once into static archives that every target
# links, instead of once per executable.
#
# velmora_juce          the application's build (modal loops forbidden)
# velmora_juce_testing  the same modules for test binaries, which pump the
#                       message loop with runDispatchLoopUntil and therefore
#                       need JUCE_MODAL_LOOPS_PERMITTED=1.
#
# Our own libraries only see JUCE's headers (velmora_juce_headers); the
# executable decides which archive it links.

find_package(JUCE CONFIG REQUIRED)

set(VELMORA_JUCE_MODULES
    juce_core juce_events juce_data_structures juce_graphics juce_gui_basics juce_gui_extra)

set(VELMORA_JUCE_DEFINITIONS
    JUCE_WEB_BROWSER=0
    JUCE_USE_CURL=0
    JUCE_DISPLAY_SPLASH_SCREEN=0
    JUCE_STANDALONE_APPLICATION=1
    JUCE_USE_XRANDR=1
    JUCE_USE_XINERAMA=1
    JUCE_USE_XCURSOR=1
    JUCE_SILENCE_XCODE_15_LINKER_WARNING=1
    JUCE_APPLICATION_NAME_STRING="Velmora"
    JUCE_APPLICATION_VERSION_STRING="V1.1")

add_library(velmora_juce_headers INTERFACE)
target_include_directories(velmora_juce_headers SYSTEM INTERFACE ${JUCE_MODULES_DIR})
target_compile_definitions(velmora_juce_headers INTERFACE
    ${VELMORA_JUCE_DEFINITIONS}
    JUCE_GLOBAL_MODULE_SETTINGS_INCLUDED=1
    $<$<CONFIG:Debug>:DEBUG=1 _DEBUG=1>
    $<$<NOT:$<CONFIG:Debug>>:NDEBUG=1>)
foreach(module IN LISTS VELMORA_JUCE_MODULES)
    target_compile_definitions(velmora_juce_headers INTERFACE JUCE_MODULE_AVAILABLE_${module}=1)
endforeach()

function(velmora_add_juce_archive name modal_loops)
    add_library(${name} STATIC)
    set_target_properties(${name} PROPERTIES POSITION_INDEPENDENT_CODE ON)
    foreach(module IN LISTS VELMORA_JUCE_MODULES)
        target_link_libraries(${name} PRIVATE juce::${module})
    endforeach()
    target_link_libraries(${name} PRIVATE juce::pkgconfig_JUCE_IMG_LINUX_DEPS)
    target_compile_definitions(${name} PRIVATE ${VELMORA_JUCE_DEFINITIONS}
        JUCE_MODAL_LOOPS_PERMITTED=${modal_loops})
    # JUCE's own sources are not ours to keep warning-free.
    target_compile_options(${name} PRIVATE -w)
    target_link_libraries(${name} PUBLIC velmora_juce_headers
        juce::pkgconfig_JUCE_IMG_LINUX_DEPS Threads::Threads ${CMAKE_DL_LIBS} rt)
endfunction()

find_package(Threads REQUIRED)
if(VELMORA_BUILD_APP)
    velmora_add_juce_archive(velmora_juce 0)
endif()
if(VELMORA_BUILD_TESTS)
    velmora_add_juce_archive(velmora_juce_testing 1)
endif()

# Our libraries use JUCE's symbols, so the archive must come after them on the
# link line. They link this target; it resolves to the archive the final
# executable wants: the testing flavour when the executable has the property
# VELMORA_TESTING set.
add_library(velmora_juce_link INTERFACE)
target_link_libraries(velmora_juce_link INTERFACE
    $<IF:$<BOOL:$<TARGET_PROPERTY:VELMORA_TESTING>>,velmora_juce_testing,velmora_juce>)
