# The two set-up commands: `make run` and `make test`. Each installs what is missing first.
BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=
export CCACHE_BASEDIR := $(CURDIR)/..

.PHONY: deps build test run bench package clean

deps:
	@scripts/install-deps.sh

build: deps
	@cmake -S . -B $(BUILD) -G Ninja -DSONAVIST_WERROR=OFF $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(BUILD) -j $(JOBS)

test: deps
	@scripts/test.sh

run: build
	@scripts/run.sh

bench: build
	@scripts/bench.sh

package: build
	@cmake --build $(BUILD) --target package

clean:
	rm -rf build build-*
