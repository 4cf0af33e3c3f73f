# The radio-meteorological map reader and look-ups.
kestrova_fuzzer(fuzz_mapfile MapFileFuzzer.cpp propagation)
