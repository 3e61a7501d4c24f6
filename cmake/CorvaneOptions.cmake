# Compiler settings shared by every target.

add_compile_options(-Wall -Wextra)

# Texts inside the module are GBK byte strings: literals such as "保存失败"
# compile to GBK bytes. The execution character set is GB18030, GBK's
# superset: every GBK character keeps its GBK bytes, and library headers
# that hold characters GBK lacks (the "µs" of <chrono>) still compile.
# Folders that hold UTF-8 texts (the application server's database side)
# switch back with corvane_utf8_literals().
add_compile_options(-finput-charset=UTF-8 -fexec-charset=GB18030)

function(corvane_utf8_literals target)
  target_compile_options(${target} PRIVATE -fexec-charset=UTF-8)
endfunction()

if(CORVANE_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

# A test executable: GoogleTest with main, discovered by CTest, labelled
# "unit" unless LABELS says otherwise (end-to-end tests say "e2e").
function(corvane_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
  if(NOT T_LABELS)
    set(T_LABELS unit)
  endif()
  gtest_discover_tests(${name} PROPERTIES LABELS "${T_LABELS}" DISCOVERY_TIMEOUT 60)
endfunction()
