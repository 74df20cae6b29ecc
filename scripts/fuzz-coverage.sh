#!/usr/bin/env bash
# Line coverage of the parsers by the fuzz corpora: builds the fuzz targets with Clang's source-based
# coverage in build-fuzz-cov/, runs each once over its seeds and over the inputs a longer run kept, and
# prints llvm-cov's report of the files each target is about.
#   scripts/fuzz-coverage.sh [CORPORA]      CORPORA: where NAME/corpus/ folders are (default build-fuzz/fuzz-long)
# The annotated sources are left in build-fuzz-cov/NAME.txt.
set -uo pipefail
cd "$(dirname "$0")/.."
corpora=${1:-build-fuzz/fuzz-long}
flags="-fprofile-instr-generate -fcoverage-mapping"
cmake -S . -B build-fuzz-cov -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTQ_CORE_ONLY=ON \
    -DTQ_FUZZ=ON -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="$flags" >/dev/null || exit 1
cmake --build build-fuzz-cov -j"$(nproc)" || exit 1

declare -A files=(
    [library_file]="core/model/file_document.cpp core/model/document_header.cpp"
    [earlier_file]="core/import/file_document.cpp core/import/document_header.cpp core/import/convert_earlier_patch.cpp core/import/earlier_image_converter.cpp"
    [smf_read]="core/smf/smf_read.cpp core/smf/smf_write.cpp"
    [smf_patches]="core/transfer/reader.cpp core/transfer/writer.cpp core/model/parameter_address.cpp"
    [syx_file]="core/transfer/syx_reader.cpp core/transfer/syx_writer.cpp core/transfer/data_set_placement.cpp"
    [tq4_dump]="core/import/reader.cpp core/import/parameter_address.cpp core/import/convert_earlier_patches.cpp"
    [tq2_dump]="core/import/tq2_dump_decoder.cpp core/import/tq2_importer.cpp"
    [marlin_message]="core/device/marlin_message.cpp core/device/long_message.cpp core/device/message_acceptance.cpp core/device/value7.cpp"
    [midi_input]="core/midi/midi_in.cpp core/midi/delivery_ring.cpp core/midi/midi_in_device.cpp core/ports/kiv_midi_in.cpp"
)
for name in library_file earlier_file smf_read smf_patches syx_file tq4_dump tq2_dump marlin_message midi_input; do
    binary=build-fuzz-cov/bin/fuzz_$name
    inputs=(tests/fuzz/corpus/$name)
    [ -d "$corpora/$name/corpus" ] && inputs+=("$corpora/$name/corpus")
    rm -f build-fuzz-cov/$name.profraw
    LLVM_PROFILE_FILE=build-fuzz-cov/$name.profraw ASAN_OPTIONS=detect_leaks=0 \
        "$binary" -runs=0 -max_len=8192 "${inputs[@]}" >/dev/null 2>&1
    llvm-profdata merge -sparse build-fuzz-cov/$name.profraw -o build-fuzz-cov/$name.profdata || continue
    echo "== $name"
    # shellcheck disable=SC2086
    llvm-cov report "$binary" -instr-profile=build-fuzz-cov/$name.profdata ${files[$name]} |
        awk '/\.cpp|^TOTAL/ { print $1, "lines", $8, "missed", $9, "line cover", $10 }'
    # shellcheck disable=SC2086
    llvm-cov show "$binary" -instr-profile=build-fuzz-cov/$name.profdata ${files[$name]} >build-fuzz-cov/$name.txt
done
