# The two commands of the README: `make run` and `make test`.
BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo
# `make test` also runs the sanitizer and fuzzer checks in a build of their
# own (scripts/sanitize-check.sh); SANITIZE=0 leaves them out.
SANITIZE ?= 1
SANITIZE_BUILD ?= $(BUILD)-sanitize

.PHONY: all deps configure build run test bench package format clean

all: build

deps:
	@./scripts/install-deps.sh

# Each stage says how long it took (scripts/stage.sh).
# A new build folder is made for Ninja; one made before keeps its generator.
configure: deps
	@./scripts/stage.sh configure cmake -S . -B $(BUILD) \
	  $(if $(wildcard $(BUILD)/CMakeCache.txt),,-G Ninja) $(CMAKE_FLAGS) >/dev/null

build: configure
	@./scripts/stage.sh build cmake --build $(BUILD) -j $(JOBS)

run: build
	@if [ -x $(BUILD)/app/main/cobaltquarry ]; then \
	  $(BUILD)/app/main/cobaltquarry; \
	else \
	  $(BUILD)/tools/cobaltquarry-scan "$$HOME"; \
	fi

test: build
	@cd $(BUILD) && QT_QPA_PLATFORM=offscreen $(CURDIR)/scripts/stage.sh tests ctest --output-on-failure -j $(JOBS) --timeout 300
ifneq ($(SANITIZE),0)
	@JOBS=$(JOBS) ./scripts/stage.sh sanitizer ./scripts/sanitize-check.sh $(SANITIZE_BUILD)
endif

bench: build
	@cmake --build $(BUILD) -j $(JOBS) --target cq_benchmarks
	@./bench/run.sh $(BUILD)

# The Debian package, written into $(BUILD): cobaltquarry_<version>_<arch>.deb
package: build
	@cmake --build $(BUILD) --target package

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	@rm -rf $(BUILD) $(SANITIZE_BUILD)
