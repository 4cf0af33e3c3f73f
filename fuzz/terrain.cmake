kestrova_fuzzer(fuzz_tile TileFuzzer.cpp terrain)
