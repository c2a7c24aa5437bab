# The two everyday commands: `make run` starts the program, `make test` runs every test.
BUILD ?= build
CMAKE_FLAGS ?=

.PHONY: all deps configure build run test bench clean

all: build

deps:
	@scripts/deps.sh

configure: deps
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD)

run: configure
	@cmake --build $(BUILD) --target digestor
	@scripts/run.sh $(BUILD)

test: build
	@ctest --test-dir $(BUILD) --output-on-failure -j2

bench: build
	@bench/run_all.sh $(BUILD)

clean:
	rm -rf $(BUILD)
