BUILD ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

FUZZ_SECONDS ?= 60
FUZZERS := fuzz_nodefile fuzz_ini fuzz_ports fuzz_decoder fuzz_frames

.PHONY: all deps configure build run test sanitize fuzz bench clean

all: build

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	@scripts/run-demo $(BUILD)

test: build
	@cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# Figures for speed and memory, from a Release build. BENCH_MINUTES shortens the memory run.
bench: deps
	@cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build build-bench -j $(JOBS)
	@echo "machine: $$(nproc) cores, $$(free -g | awk '/Mem:/ {print $$2}') GiB, $$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2)"
	@build-bench/bin/bench_scan
	@build-bench/bin/bench_send
	@build-bench/bin/bench_responsiveness
	@build-bench/bin/bench_memory

# The whole suite built with AddressSanitizer and UndefinedBehaviorSanitizer.
sanitize: deps
	@cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DVANTREL_SANITIZE=ON >/dev/null
	@cmake --build build-asan -j $(JOBS)
	@cd build-asan && QT_QPA_PLATFORM=offscreen \
	    ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:detect_stack_use_after_return=1 \
	    LSAN_OPTIONS=suppressions=$(CURDIR)/scripts/lsan.supp:print_suppressions=0 \
	    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	    ctest --output-on-failure -j $(JOBS) -E package_deb

# Each libFuzzer target for FUZZ_SECONDS, starting from the seeds in fuzz/corpus.
fuzz: deps
	@CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANTREL_FUZZ=ON >/dev/null
	@cmake --build build-fuzz -j $(JOBS)
	@for t in $(FUZZERS); do \
	    mkdir -p build-fuzz/corpus/$$t build-fuzz/artifacts; \
	    echo "fuzz: $$t for $(FUZZ_SECONDS) s"; \
	    build-fuzz/bin/$$t -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 \
	        -artifact_prefix=build-fuzz/artifacts/$$t- build-fuzz/corpus/$$t fuzz/corpus/$$t 2>build-fuzz/$$t.log \
	        || { tail -50 build-fuzz/$$t.log; exit 1; }; \
	    grep -E 'stat::number_of_executed_units|stat::peak_rss_mb' build-fuzz/$$t.log; \
	done

clean:
	rm -rf $(BUILD) build-asan build-fuzz build-bench
