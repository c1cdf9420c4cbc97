# Sources of the logic tests, shared by the cross build (run under Wine) and
# the host sanitizer build in tests/host.
set(ZP_LOGIC_TEST_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/StrConvTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ZeltoTokenTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/HexFileTest.cpp)
