# Targets every folder adds its files to:
#   qmcore      portable core, never includes <windows.h>
#   qmplatform  the core's platform seams bound to Win32 (i686) or to the host (native)
#   qm_seams_at_start  puts them in place in programs whose main is a library's
#   qmtesting   in-memory fakes of the seams, for unit tests
#   qm_unit_tests, qm_wine_tests (Windows only), qm_benchmarks (native only), fuzz_* (QM_FUZZ)

add_compile_options(-Wall -Wextra -Wno-missing-field-initializers)
# No C++ exceptions anywhere: a failed allocation of a container ends the
# process, and what may fail is created with new (std::nothrow).
add_compile_options($<$<COMPILE_LANGUAGE:CXX>:-fno-exceptions> -fno-asynchronous-unwind-tables)

if(QM_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

if(QM_FUZZ)
  # The core must be instrumented too, or the fuzzer sees no coverage.
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined)
endif()

# zlib: the system's, except where the shipped build compiles its own.
set(QM_ZLIB z)

if(WIN32)
  # Wine runs each build in a prefix of its own architecture; the scripts in
  # tools/ read which from the build folder. Subsystem 4.0 so Windows 98 and
  # NT4 load us; 64-bit Windows starts at 5.2 and refuses less.
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(QM_WINE_ARCH win64)
    set(QM_WINE_DLL_DIR /usr/lib/x86_64-linux-gnu/wine/x86_64-windows)
    set(QM_SUBSYSTEM_MAJOR 5)
    set(QM_SUBSYSTEM_MINOR 2)
    set(QM_DLL_IMAGE_BASE 0x238250000)
  else()
    set(QM_WINE_ARCH win32)
    set(QM_WINE_DLL_DIR /usr/lib/i386-linux-gnu/wine/i386-windows)
    set(QM_SUBSYSTEM_MAJOR 4)
    set(QM_SUBSYSTEM_MINOR 0)
    set(QM_DLL_IMAGE_BASE 0x69740000)
  endif()
  file(WRITE ${CMAKE_BINARY_DIR}/wine-arch "${QM_WINE_ARCH}\n")
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    # Before this folder's definitions and options, which the runtime's
    # sources are not written for.
    add_subdirectory(${CMAKE_SOURCE_DIR}/cmake/runtime ${CMAKE_BINARY_DIR}/runtime)
    set(QM_ZLIB qm_zlib)
  endif()
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/tools/wine-run.sh ${CMAKE_BINARY_DIR})
  # Debian's MinGW ships no .idl files: Wine's headers and stdole2.tlb serve.
  set(QM_WIDL ${QM_MINGW_TRIPLET}-widl --${QM_WINE_ARCH} -I/usr/include/wine/wine/windows
      -L${QM_WINE_DLL_DIR})
  add_compile_definitions(_WIN32_WINNT=0x0400 WINVER=0x0400 _WIN32_IE=0x0500 WIN32_LEAN_AND_MEAN NOMINMAX)
  add_compile_options(-ffunction-sections -fdata-sections)
  # Nothing asks a type its name or casts down at run time: no type
  # descriptions beyond those exceptions need.
  add_compile_options($<$<COMPILE_LANGUAGE:CXX>:-fno-rtti>)
  # No libgcc_s/libstdc++ DLLs beside ours.
  add_link_options(-static -static-libgcc -static-libstdc++ -Wl,--gc-sections
                   -Wl,--major-subsystem-version,${QM_SUBSYSTEM_MAJOR}
                   -Wl,--minor-subsystem-version,${QM_SUBSYSTEM_MINOR})
  # LLVM's linker drops each unused function with its unwind record; GNU ld
  # keeps every record and so every function of an object it pulls in. The
  # compiler driver finds lld only under a prefixed name in /usr/bin, so a
  # specs file names it. Where lld's defaults differ from GNU ld's (OS
  # version, stack reserve, Terminal Server awareness, the DLL's image base)
  # the headers are set to what GNU ld wrote.
  find_program(QM_LLD ld.lld REQUIRED)
  set(QM_LLD_SPECS ${CMAKE_BINARY_DIR}/lld.specs)
  file(WRITE ${QM_LLD_SPECS} "*linker:\n${QM_LLD}\n\n")
  add_link_options(-specs=${QM_LLD_SPECS} -fno-use-linker-plugin
                   -Wl,--major-os-version,4 -Wl,--minor-os-version,0 -Wl,--stack,0x200000
                   -Wl,--disable-tsaware)
  # The build's scripts: packing the installer's files and pictures.
  find_package(Python3 REQUIRED COMPONENTS Interpreter)
  set(QM_GTEST_ROOT /usr/src/googletest/googletest)
  add_library(qm_gtest STATIC ${QM_GTEST_ROOT}/src/gtest-all.cc)
  add_library(qm_gtest_main STATIC ${QM_GTEST_ROOT}/src/gtest_main.cc)
  foreach(t qm_gtest qm_gtest_main)
    # Our custom gtest-port.h must come before GoogleTest's own.
    target_include_directories(${t} BEFORE PUBLIC ${CMAKE_SOURCE_DIR}/cmake/gtest-mingw)
    target_include_directories(${t} PUBLIC ${QM_GTEST_ROOT}/include PRIVATE ${QM_GTEST_ROOT})
    target_compile_definitions(${t} PUBLIC GTEST_HAS_PTHREAD=0)
    target_compile_options(${t} PRIVATE -w)
  endforeach()
  target_link_libraries(qm_gtest_main PUBLIC qm_gtest)
  set(QM_GTEST_MAIN qm_gtest_main)
else()
  find_package(GTest REQUIRED)
  set(QM_GTEST_MAIN GTest::gtest_main)
  if(QM_BENCHMARKS)
    find_package(benchmark REQUIRED)
  endif()
endif()

add_library(qmcore STATIC)
target_include_directories(qmcore PUBLIC ${CMAKE_SOURCE_DIR})

# The platform binds the core's seams; each program puts them in place and
# links both. The core links nothing of the platform.
add_library(qmplatform STATIC)
target_link_libraries(qmplatform PUBLIC qmcore)
if(WIN32)
  target_link_libraries(qmplatform PUBLIC advapi32 ole32 oleaut32 uuid)
endif()

add_library(qmtesting STATIC)
target_link_libraries(qmtesting PUBLIC qmcore)

add_executable(qm_unit_tests)
target_link_libraries(qm_unit_tests PRIVATE qmtesting qmplatform qm_seams_at_start ${QM_GTEST_MAIN})
add_test(NAME unit_tests COMMAND qm_unit_tests)
if(QM_FUZZ)
  # The fuzz build instruments for libFuzzer; only the fuzz targets link with it.
  set_target_properties(qm_unit_tests PROPERTIES EXCLUDE_FROM_ALL ON)
endif()

if(WIN32)
  add_executable(qm_wine_tests)
  target_link_libraries(qm_wine_tests PRIVATE qmplatform qm_seams_at_start ${QM_GTEST_MAIN})
  # The long browsing session is a test of its own (band/CMakeLists.txt).
  add_test(NAME wine_tests COMMAND qm_wine_tests --gtest_filter=-BandLongSession.*)
  # Real timers and a thousand band cycles: minutes on a busy machine.
  set_tests_properties(wine_tests PROPERTIES TIMEOUT 900)
endif()

if(QM_BENCHMARKS AND NOT WIN32)
  add_executable(qm_benchmarks)
  target_link_libraries(qm_benchmarks PRIVATE qmtesting qmplatform qm_seams_at_start
                        benchmark::benchmark_main)
endif()

# qm_fuzz_target(name source...): a libFuzzer program over the core.
function(qm_fuzz_target name)
  if(QM_FUZZ)
    add_executable(${name} ${ARGN})
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
    target_link_libraries(${name} PRIVATE qmtesting qmplatform qm_seams_at_start)
    # All fuzz programs side by side, where the test command runs them.
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
    set_property(GLOBAL APPEND PROPERTY QM_FUZZ_TARGETS ${name})
  endif()
endfunction()

# qm_packed_bitmaps(TARGET IDS_HEADER ID FILE [ID FILE]...): bitmap files of
# the current folder packed (tools/pack_files.py) as the target's
# PACKED_BITMAP resources, under the identifiers of IDS_HEADER.
function(qm_packed_bitmaps target ids)
  set(dir ${CMAKE_CURRENT_BINARY_DIR}/packed_pictures)
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}_pictures.rc)
  set(text "// Pictures packed from their bitmap files (generated).\n#include \"${ids}\"\n")
  set(sources)
  set(packed)
  set(items ${ARGN})
  while(items)
    list(POP_FRONT items id file)
    get_filename_component(name ${file} NAME)
    list(APPEND sources ${CMAKE_CURRENT_SOURCE_DIR}/${file})
    list(APPEND packed ${dir}/${name})
    string(APPEND text "${id} PACKED_BITMAP \"${dir}/${name}\"\n")
  endwhile()
  add_custom_command(
    OUTPUT ${packed}
    COMMAND Python3::Interpreter ${CMAKE_SOURCE_DIR}/tools/pack_files.py ${dir} ${sources}
    DEPENDS ${sources} ${CMAKE_SOURCE_DIR}/tools/pack_files.py
    COMMENT "Packing the pictures of ${target}"
    VERBATIM)
  file(WRITE ${rc}.in "${text}")
  configure_file(${rc}.in ${rc} COPYONLY)
  set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS "${packed}")
  target_sources(${target} PRIVATE ${rc})
endfunction()
