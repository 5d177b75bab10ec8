# Top-level entry points. Every target installs what is missing first.
PREFIX ?= /usr/local
JOBS ?= $(shell nproc)
BUILD_DIR ?= build
TEST_BUILD_DIR ?= build-test

.PHONY: all deps build demo test bench install package clean format

all: build

deps:
	@bash scripts/install-deps.sh

$(BUILD_DIR)/build.ninja:
	cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCMAKE_INSTALL_PREFIX=$(PREFIX) -DVESK_BUILD_TESTS=OFF

build: deps $(BUILD_DIR)/build.ninja
	cmake --build $(BUILD_DIR) -j $(JOBS)

demo: build
	./$(BUILD_DIR)/host/vesk demo

$(TEST_BUILD_DIR)/build.ninja:
	cmake -S . -B $(TEST_BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVESK_SANITIZE=ON \
	  -DCMAKE_CXX_FLAGS_DEBUG=-g1

test: deps $(TEST_BUILD_DIR)/build.ninja
	cmake --build $(TEST_BUILD_DIR) -j $(JOBS)
	cd $(TEST_BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

bench: build
	cmake --build $(BUILD_DIR) -j $(JOBS) --target vesk_bench
	./$(BUILD_DIR)/bench/vesk_bench

install: build
	cmake --install $(BUILD_DIR) --prefix $(PREFIX)

# A Debian package of the whole installation, into /usr: $(BUILD_DIR)/vesk_VERSION_ARCH.deb.
package: build
	cmake --build $(BUILD_DIR) --target package

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD_DIR) $(TEST_BUILD_DIR)
