# Set-up, build and test in two commands: `make run` and `make test`.
BUILD      ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
TSAN_BUILD ?= build-tsan
FUZZ_SECONDS ?= 60
JOBS       ?= $(shell nproc)

# Debian packages the build, the tests and the tools need.
PACKAGES := cmake ninja-build g++ qt6-base-dev libgl-dev libgtest-dev libgmock-dev libbenchmark-dev \
            libpcre2-dev xvfb xauth imagemagick clang libclang-rt-dev mandoc

.PHONY: all deps configure build run test test-sanitize test-tsan fuzz bench clean screenshot package

all: build

deps:
	@missing=""; for p in $(PACKAGES); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "install ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  if [ "$$(id -u)" = 0 ]; then \
	    echo "Installing:$$missing"; \
	    DEBIAN_FRONTEND=noninteractive apt-get update -qq && \
	    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $$missing; \
	  else \
	    echo "Missing packages. Run:"; echo "  sudo apt-get install -y$$missing"; exit 1; \
	  fi; \
	fi

configure: deps
	@test -f $(BUILD)/build.ninja || cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: deps configure
	cmake --build $(BUILD) -j $(JOBS)

run: build
	@if [ -x $(BUILD)/src/app/vantixsr ]; then \
	  exec $(BUILD)/src/app/vantixsr; \
	else \
	  echo "usage: $(BUILD)/tools/vsr-search/vsr-search --path DIR --query TEXT [options]  (--help for all)"; \
	  $(BUILD)/tools/vsr-search/vsr-search --path "$$HOME" --masks '*.txt' --query TODO; true; \
	fi

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# The engine layers and their tests again, with AddressSanitizer and UndefinedBehaviorSanitizer.
test-sanitize: deps
	@test -f $(ASAN_BUILD)/build.ninja || \
	  cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVSR_SANITIZE=ON -DVSR_BUILD_UI=OFF
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j $(JOBS)

# The engine layers and their tests with ThreadSanitizer: a search runs on several threads.
test-tsan: deps
	@test -f $(TSAN_BUILD)/build.ninja || \
	  cmake -S . -B $(TSAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVSR_TSAN=ON -DVSR_BUILD_UI=OFF
	cmake --build $(TSAN_BUILD) -j $(JOBS) --target test_engine test_platform
	TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" $(TSAN_BUILD)/tests/test_engine \
	  --gtest_filter='SearchThreads.*:SearchLargeFiles.*:OrderedOutput.*:ReadBudget.*:SearchDriver.*:LineQueryListing.*:BlockListing.*:RegExprListing.*:ModifyThreads.*:ModifyRun.*:ModifyLinks.*:ModifyFailures.*:ModifyStop.*:DryRunAhead.*'
	TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" $(TSAN_BUILD)/tests/test_platform \
	  --gtest_filter='SafeWriter.*:WriteFileAtomically.*'

# Every fuzz target (fuzz/*_fuzz.cpp) built with clang's libFuzzer, run FUZZ_SECONDS each from
# its seed corpus in fuzz/corpus/; a crash, a sanitizer report or a hang fails.
fuzz: deps
	@test -f $(FUZZ_BUILD)/build.ninja || \
	  cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
	        -DVSR_FUZZ=ON -DVSR_BUILD_UI=OFF -DVSR_BUILD_TESTS=OFF
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzzers
	bash fuzz/run.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

# A Debian package of the program under /usr: install it with `apt-get install ./vantixsr_*.deb`.
package: build
	cd $(BUILD) && cpack -G DEB

bench: build
	bash bench/search.sh

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD) $(TSAN_BUILD)
