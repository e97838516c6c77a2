# libFuzzer targets (clang only): cmake -DMARVEK_FUZZ=ON -DCMAKE_CXX_COMPILER=clang++
option(MARVEK_FUZZ "Build the libFuzzer targets (needs clang++)" OFF)
if(MARVEK_FUZZ)
  add_subdirectory(fuzz)
endif()
