# The README's commands. Each one installs what is missing first.
BUILD      := build
TEST_BUILD := build-test
JOBS       ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: run test bench deps

deps:
	@scripts/install-deps

run: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release -DVADOZOZ_TESTS=OFF
	cmake --build $(BUILD) -j $(JOBS)
	$(BUILD)/app/vadozoz

test: deps
	cmake -S . -B $(TEST_BUILD) -DCMAKE_BUILD_TYPE=Debug -DVADOZOZ_SANITIZE=ON
	cmake --build $(TEST_BUILD) -j $(JOBS)
	cd $(TEST_BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

bench: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release -DVADOZOZ_TESTS=OFF -DVADOZOZ_BENCH=ON
	cmake --build $(BUILD) -j $(JOBS)
	rm -f $(BUILD)/bench/figures.tsv
	$(BUILD)/bench/core_bench --figures=$(BUILD)/bench/figures.tsv
	QT_QPA_PLATFORM=offscreen $(BUILD)/bench/window_bench --figures=$(BUILD)/bench/figures.tsv
	$(BUILD)/bench/bench_report $(BUILD)/bench/results.json $(BUILD)/bench/figures.tsv

# The Debian package, from the Release build: $(BUILD)/vadozoz_1.00_<arch>.deb.
.PHONY: package package-test
package: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release -DVADOZOZ_TESTS=OFF -DVADOZOZ_SANITIZE=OFF
	cmake --build $(BUILD) -j $(JOBS)
	cd $(BUILD) && cpack -G DEB

# Builds the package, installs it, starts it under Xvfb, removes it (root).
package-test: deps
	packaging/test-package.sh $(BUILD)

# Each libFuzzer target for FUZZ_SECONDS (clang build in build-fuzz/).
FUZZ_SECONDS ?= 60
.PHONY: fuzz
fuzz: deps
	bash fuzz/run build-fuzz $(FUZZ_SECONDS)
