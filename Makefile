# The two commands: `make run` shows the demonstration, `make test` runs every test.
SHELL := /bin/bash
JOBS ?= 2
FUZZ_SECONDS ?= 60
PREFIX ?= /usr/local
# Seeds for the fuzzer: real models made by other tools, when they are beside the project.
FUZZ_SEEDS := $(firstword $(wildcard ../shared/lwo /work/shared/lwo))
SANITIZER_ENV := ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:detect_odr_violation=0 \
                 LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 \
                 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

.PHONY: all deps build run install test test-plain test-sanitized tsan fuzz bench clean

all: build

deps:
	@scripts/install-deps.sh

build: deps
	cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
	cmake --build build -j$(JOBS)

run: build
	@if [ -n "$$DISPLAY" ]; then \
		cd data && ../build/BrackmoorDemoWin32; \
	else \
		cd data && ../scripts/with-display.sh ../build/BrackmoorDemoWin32 --frames 600 --screenshot ../build/demo.png \
			&& echo "No display: the demonstration ran 600 frames under a virtual X server; its last frame is build/demo.png"; \
	fi

# Installs the engine under PREFIX; cmake/BrackmoorInstall.cmake says what goes where.
install: build
	cmake --install build --prefix $(abspath $(PREFIX))

test: build
	scripts/with-display.sh ctest --test-dir build --output-on-failure -j$(JOBS)
	$(MAKE) --no-print-directory fuzz FUZZ_SECONDS=30
	$(MAKE) --no-print-directory test-sanitized

test-sanitized: deps
	cmake -S . -B build-asan -DBRACKMOOR_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug > /dev/null
	cmake --build build-asan -j$(JOBS)
	$(SANITIZER_ENV) scripts/with-display.sh ctest --test-dir build-asan --output-on-failure -j$(JOBS)

# ThreadSanitizer over every test that runs without GL (the model loader's second thread among
# them): Mesa's own threads are not ours to check, and apitrace cannot trace a TSan binary.
tsan: deps
	cmake -S . -B build-tsan -DBRACKMOOR_TSAN=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
	cmake --build build-tsan -j$(JOBS) --target brackmoor_tests
	TSAN_OPTIONS=halt_on_error=1 ctest --test-dir build-tsan -E 'GL\.|TexturesAreDeletedWhileTheContextExists' \
		--output-on-failure -j$(JOBS)

fuzz: deps
	cmake -S . -B build-fuzz -DBRACKMOOR_FUZZ=ON -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
		-DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
	cmake --build build-fuzz -j$(JOBS)
	mkdir -p build-fuzz/corpus
	build-fuzz/lwo_fuzzer -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 \
		build-fuzz/corpus $(FUZZ_SEEDS) data

bench: build
	cd build && ../scripts/with-display.sh bench/registry_bench
	cd build && ../scripts/with-display.sh bench/world_bench
	cd build && bench/lwo_bench

clean:
	rm -rf build build-asan build-tsan build-fuzz
