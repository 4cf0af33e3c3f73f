kestrova_fuzzer(fuzz_tile TileFuzzer.cpp terrain)
kestrova_fuzzer(fuzz_zonemap ZoneMapFuzzer.cpp terrain)
kestrova_fuzzer(fuzz_cluttertable ClutterTableFuzzer.cpp terrain)
