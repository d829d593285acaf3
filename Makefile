# Dialmoor: the two builds (win32 product under Wine, host for portable logic) and their tests.
BUILD   ?= build
JOBS    ?= $(shell nproc)
HOST    := $(BUILD)/host
WIN32   := $(BUILD)/win32

.PHONY: all deps host win32 test bench run fuzz clean

all: host win32

deps:
	@bash scripts/deps

$(HOST)/build.ninja:
	cmake -S . -B $(HOST) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++

$(WIN32)/build.ninja:
	cmake -S . -B $(WIN32) -G Ninja -DCMAKE_BUILD_TYPE=Release \
	  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake

host: deps $(HOST)/build.ninja
	cmake --build $(HOST) -j $(JOBS)

win32: deps $(WIN32)/build.ninja
	cmake --build $(WIN32) -j $(JOBS)

test: host win32
	@bash scripts/test $(HOST) $(WIN32)

bench: deps
	@bash scripts/bench $(BUILD)

fuzz: host
	@bash scripts/fuzz $(HOST)

run: win32
	@bash scripts/run $(WIN32)

clean:
	rm -rf $(BUILD)
