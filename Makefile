# The two commands: `make run` shows the demonstration, `make test` runs every test.
SHELL := /bin/bash
JOBS ?= 2
FUZZ_SECONDS ?= 60
PREFIX ?= /usr/local
# A quarter of the fuzzing time goes to the image decoder, a quarter to the scene reader, the
# rest to the LWO2 reader; at least a second each, since libFuzzer takes 0 for no limit.
IMAGE_FUZZ_SECONDS = $(shell n=$$(( $(FUZZ_SECONDS) / 4 )); echo $$(( n > 0 ? n : 1 )))
LWS_FUZZ_SECONDS = $(IMAGE_FUZZ_SECONDS)
LWO_FUZZ_SECONDS = $(shell n=$$(( $(FUZZ_SECONDS) - 2 * $(IMAGE_FUZZ_SECONDS) )); echo $$(( n > 0 ? n : 1 )))
# Seeds for the fuzzers: the samples, real models, scenes and images made by other tools when they
# are beside the project, and the images the decoder test writes (from the plain build, when there
# is one).
FUZZ_SEEDS := $(firstword $(wildcard ../shared/lwo /work/shared/lwo))
SCENE_SEEDS := $(firstword $(wildcard ../shared/lws /work/shared/lws))
IMAGE_SEEDS := $(wildcard $(FUZZ_SEEDS)/*.png $(FUZZ_SEEDS)/*.jpg samples/Images/*)
# intercept_tls_get_addr=0: the leak checker then leaves the GL driver's dynamic TLS alone, whose
# block record it sometimes takes wrongly and crashes on when it scans it at exit.
SANITIZER_ENV := ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:detect_odr_violation=0:intercept_tls_get_addr=0 \
                 LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 \
                 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

.PHONY: all deps build run view install test test-plain test-sanitized tsan fuzz bench clean

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

# Shows MODEL (an object or a scene) in the viewer, the sample city scene unless told otherwise;
# without a display, one frame under a virtual X server, written to build/view.png.
MODEL = samples/Scenes/seq_city_02.lws
view: build
	@if [ -n "$$DISPLAY" ]; then \
		build/brackmoor-view "$(MODEL)"; \
	else \
		scripts/with-display.sh build/brackmoor-view "$(MODEL)" --frames 1 --screenshot build/view.png \
			&& echo "No display: the viewer drew one frame under a virtual X server; it is build/view.png"; \
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
	# A test whose run ends in LeakSanitizer's own tracer crashing at exit (it stops every thread,
	# Mesa's among them; seen rarely under load) runs once more; a real report repeats and fails.
	$(SANITIZER_ENV) scripts/with-display.sh ctest --test-dir build-asan --output-on-failure -j$(JOBS) \
		--repeat until-pass:2

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
	mkdir -p build-fuzz/corpus build-fuzz/image-corpus build-fuzz/image-seeds
	build-fuzz/lwo_fuzzer -max_total_time=$(LWO_FUZZ_SECONDS) -print_final_stats=1 \
		build-fuzz/corpus $(FUZZ_SEEDS) samples/Objects data
	# The scenes, each under a name of its own: several share a file name.
	mkdir -p build-fuzz/scene-corpus build-fuzz/scene-seeds
	find $(SCENE_SEEDS) samples/Scenes -name '*.lws' -print0 | while IFS= read -r -d '' f; do \
		cp -f "$$f" "build-fuzz/scene-seeds/$$(printf '%s' "$$f" | md5sum | cut -c1-16).lws"; done
	build-fuzz/lws_fuzzer -max_total_time=$(LWS_FUZZ_SECONDS) -print_final_stats=1 \
		build-fuzz/scene-corpus build-fuzz/scene-seeds
	# One at a time: the samples share some names with the shared images.
	for f in $(IMAGE_SEEDS); do cp -f "$$f" build-fuzz/image-seeds/; done
	if [ -x build/brackmoor_tests ]; then \
		BRACKMOOR_IMAGE_SEEDS=build-fuzz/image-seeds build/brackmoor_tests \
			--gtest_filter=TTextureImage.DecodesEachFormatAndRefusesItCutOff > /dev/null; \
	fi
	build-fuzz/image_fuzzer -max_total_time=$(IMAGE_FUZZ_SECONDS) -print_final_stats=1 \
		build-fuzz/image-corpus build-fuzz/image-seeds

bench: build
	cd build && ../scripts/with-display.sh bench/registry_bench
	cd build && ../scripts/with-display.sh bench/world_bench
	cd build && ../scripts/with-display.sh bench/scene_bench
	cd build && bench/lwo_bench
	cd build && bench/star_bench
	cd build && ../scripts/with-display.sh bench/view_bench

clean:
	rm -rf build build-asan build-tsan build-fuzz
