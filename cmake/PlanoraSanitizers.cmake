# PLANORA_SANITIZE: the whole tree with AddressSanitizer and
# UndefinedBehaviorSanitizer, any report fatal (scripts/test-sanitized.sh).
# PLANORA_FUZZ: the same with clang's libFuzzer instrumentation, for the fuzz
# targets of tests/fuzz (scripts/fuzz.sh).
option(PLANORA_SANITIZE "Build with ASan and UBSan" OFF)
option(PLANORA_FUZZ "Build the libFuzzer targets (needs clang)" OFF)

if(PLANORA_SANITIZE OR PLANORA_FUZZ)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
if(PLANORA_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()
