# make run:  install what is missing, build, start the editor
# make test: install what is missing, build, run the whole suite normally and under ASan+UBSan

BUILD      ?= build
BUILD_ASAN ?= build-asan
CMAKE_FLAGS ?= -G Ninja

.PHONY: deps build build-asan run test test-normal test-asan bench clean

deps:
	bash scripts/install-deps.sh

build: deps
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD)

build-asan: deps
	cmake -S . -B $(BUILD_ASAN) $(CMAKE_FLAGS) -DCMAKE_BUILD_TYPE=Debug -DORV_SANITIZE=ON
	cmake --build $(BUILD_ASAN)

run: build
	./$(BUILD)/orvantis $(ARGS)

test-normal: build
	cd $(BUILD) && ctest --output-on-failure

test-asan: build-asan
	cd $(BUILD_ASAN) && ctest --output-on-failure

test: test-normal test-asan

bench: build
	./$(BUILD)/orvantis_bench

clean:
	rm -rf $(BUILD) $(BUILD_ASAN)
