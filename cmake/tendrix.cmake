# One library per subsystem folder; every .cpp in the folder belongs to it, so
# adding a file never needs a CMake edit.
function(tendrix_library name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB _sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  list(FILTER _sources EXCLUDE REGEX "/main\\.cpp$")
  file(GLOB _headers CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  if(_sources)
    add_library(tendrix_${name} STATIC ${_sources} ${_headers})
    target_include_directories(tendrix_${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(tendrix_${name} PUBLIC ${ARG_DEPS})
  else()
    add_library(tendrix_${name} INTERFACE)
    target_include_directories(tendrix_${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(tendrix_${name} INTERFACE ${ARG_DEPS})
  endif()
endfunction()

# One test program per subsystem folder, every .cpp in tests/<name>/ in it.
function(tendrix_test_folder name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB _sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${name}/*.cpp)
  if(NOT _sources)
    return()
  endif()
  add_executable(test_${name} ${_sources} $<TARGET_OBJECTS:tendrix_test_main>)
  target_link_libraries(test_${name} PRIVATE ${ARG_DEPS} tendrix_test_support tendrix_test_main GTest::gtest GTest::gmock)
  add_dependencies(test_${name} tendrix)
  gtest_discover_tests(test_${name}
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
    DISCOVERY_TIMEOUT 60)
endfunction()
