# The site-file reader.
kestrova_fuzzer(fuzz_sites SitesFuzzer.cpp sites)
