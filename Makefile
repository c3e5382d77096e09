# Front door of the project: `make run`, `make test`, `make bench`.
BUILD      ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
FUZZ_TARGETS := art_index art_tile hues uop
JOBS       ?= 2

DEB_PACKAGES := build-essential cmake ninja-build qt6-base-dev qt6-base-dev-tools qt6-svg-dev \
                libgl-dev libfontconfig-dev libbenchmark-dev fonts-liberation2 fonts-dejavu-core xvfb \
                zlib1g-dev clang libclang-rt-14-dev poppler-utils
SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: deps build run test test-asan fuzz-build fuzz bench bench-huge format clean

deps:
	@missing=""; \
	for p in $(DEB_PACKAGES); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "install ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  $(SUDO) apt-get update -qq && \
	  DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq $$missing; \
	fi

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

run: build
	./$(BUILD)/src/quillet $(ARGS)

test: build fuzz-build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# The fuzz targets of the client file readers, built with clang (only those sources).
fuzz-build: deps
	cmake -S fuzz -B $(FUZZ_BUILD) -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(FUZZ_BUILD) -j $(JOBS)

# Each target for FUZZ_SECONDS, one after another, from fresh seeds and the corpus that the
# earlier runs left in $(FUZZ_BUILD)/corpus.
fuzz: fuzz-build
	rm -rf $(FUZZ_BUILD)/seeds && ./$(FUZZ_BUILD)/make_fuzz_seeds $(FUZZ_BUILD)/seeds
	for t in $(FUZZ_TARGETS); do \
	  mkdir -p $(FUZZ_BUILD)/corpus/$$t && \
	  ./$(FUZZ_BUILD)/fuzz_$$t $(FUZZ_BUILD)/corpus/$$t $(FUZZ_BUILD)/seeds/$$t \
	    -max_total_time=$(FUZZ_SECONDS) -artifact_prefix=$(FUZZ_BUILD)/ || exit 1; \
	done

# Every test under AddressSanitizer and UndefinedBehaviorSanitizer.
test-asan: deps
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQUILLET_SANITIZE=ON
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# Every benchmark program (not the build's folders of the same prefix), then one table of
# every figure, its target, and the targets missed.
bench: build
	@table=$$(mktemp); trap 'rm -f $$table' EXIT; \
	for b in $(BUILD)/bench/bench_*; do \
	  [ -f "$$b" ] && [ -x "$$b" ] || continue; \
	  echo "== $$b"; \
	  QUILLET_BENCH_RATIOS=$$table $$b --benchmark_counters_tabular=true || exit 1; \
	done; \
	$(call bench_table,$$table)

# The figures of a 1.5 GB world save, from every program that has some: about 3 GB of
# memory and a few minutes.
HUGE_BENCHES := bench_buffer bench_clipboard bench_textview
bench-huge: build
	@table=$$(mktemp); trap 'rm -f $$table' EXIT; \
	for b in $(HUGE_BENCHES); do \
	  echo "== $$b --huge"; \
	  QUILLET_BENCH_RATIOS=$$table $(BUILD)/bench/$$b --huge --benchmark_counters_tabular=true || exit 1; \
	done; \
	$(call bench_table,$$table)

define bench_table
echo; echo "== every figure of this run"; \
printf '%-44s %-46s %10s %10s\n' "figure" "basis (floor)" "value" "target"; \
cat $(1); \
missed=$$(grep -c 'MISSED$$' $(1)); \
if [ "$$missed" -gt 0 ]; then echo "$$missed target(s) missed:"; grep 'MISSED$$' $(1) | cut -c1-44; \
else echo "every target met"; fi
endef

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)
