# libFuzzer build: every library and program of the tree is compiled with coverage feedback and
# AddressSanitizer + UndefinedBehaviorSanitizer, so the fuzz targets see (and check) all the code
# they reach, and the programs that are not fuzz targets still link (the sanitizer runtime they
# link carries the coverage hooks). Only the fuzz targets link the fuzzer runtime (fuzz/).
option(KESTROVA_BUILD_FUZZ "Build the libFuzzer targets (clang only)" OFF)

if(KESTROVA_BUILD_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
        message(FATAL_ERROR "KESTROVA_BUILD_FUZZ needs clang: configure with "
                            "-DCMAKE_CXX_COMPILER=clang++ (scripts/setup.sh fuzz does)")
    endif()
    add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
                        -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
endif()
