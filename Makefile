# The two commands: `make run` (set up, build, start the demo) and `make test` (set up, build,
# run every test headless). Plain `make` sets up and builds.
BUILD      ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
# Inputs per fuzz target in `make fuzz`: a few seconds each; raise it for a longer search.
FUZZ_RUNS  ?= 20000
JOBS       ?= $(shell nproc)
CMAKE_ARGS ?=

HEADLESS := SDL_VIDEODRIVER=offscreen SDL_RENDER_DRIVER=software SDL_FRAMEBUFFER_ACCELERATION=0 SDL_AUDIODRIVER=dummy

.PHONY: all setup build run test test-asan fuzz bench clean

all: build

setup:
	@tools/setup-deps.sh

build: setup
	@cmake -S . -B $(BUILD) $(CMAKE_ARGS) > /dev/null
	@cmake --build $(BUILD) -j$(JOBS)

run: build
	cd $(BUILD)/run && ./tambergui-demo

test: build
	cd $(BUILD) && $(HEADLESS) ctest --output-on-failure -j$(JOBS)

# The same tests under AddressSanitizer and UndefinedBehaviorSanitizer.
test-asan: setup
	@cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DTAMBERGUI_SANITIZE=ON -DTAMBERGUI_BUILD_BENCH=OFF $(CMAKE_ARGS) > /dev/null
	@cmake --build $(ASAN_BUILD) -j$(JOBS)
	cd $(ASAN_BUILD) && $(HEADLESS) ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --output-on-failure -j$(JOBS)

# The libFuzzer targets under fuzz/ (clang), each run for FUZZ_RUNS inputs over its seeds.
fuzz: setup
	@cmake -S . -B $(FUZZ_BUILD) -DCMAKE_CXX_COMPILER=clang++ -DTAMBERGUI_BUILD_FUZZ=ON \
	  -DTAMBERGUI_BUILD_TESTS=OFF -DTAMBERGUI_BUILD_BENCH=OFF \
	  $(if $(shell command -v ccache),-DCMAKE_CXX_COMPILER_LAUNCHER=ccache) $(CMAKE_ARGS) > /dev/null
	@cmake --build $(FUZZ_BUILD) -j$(JOBS) --target tambergui-fuzz
	@tools/run-fuzz.sh $(FUZZ_BUILD) $(FUZZ_RUNS)

bench: build
	@for b in $(BUILD)/bench/*; do [ -x "$$b" ] && (cd $(BUILD)/run && "../../$$b") ; done

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)
