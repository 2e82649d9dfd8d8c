# make run:  install what is missing, build, start the editor
# make test: install what is missing, build, run the whole suite normally and under ASan+UBSan

BUILD      ?= build
BUILD_ASAN ?= build-asan
CMAKE_FLAGS ?= -G Ninja

.PHONY: deps build build-asan run test test-normal test-asan bench fuzz clean

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

# make install [PREFIX=/usr/local] [DESTDIR=...]: the programs under PREFIX/lib/orvantis,
# links in PREFIX/bin, the desktop entry, MIME type and icons under PREFIX/share.
# make deb: a Debian package of the same layout under /usr, in $(BUILD)/.
PREFIX ?= /usr/local
.PHONY: install deb
install: build
	DESTDIR=$(DESTDIR) cmake --install $(BUILD) --prefix $(PREFIX)
	@if [ -z "$(DESTDIR)" ]; then \
	  update-mime-database $(PREFIX)/share/mime 2>/dev/null || true; \
	  update-desktop-database $(PREFIX)/share/applications 2>/dev/null || true; \
	fi

deb: build
	cd $(BUILD) && cpack -G DEB

# Fuzzing (not part of make test): FUZZ_SECONDS per target, corpus kept in build-fuzz/; each
# target's execution count is printed, its whole output kept in build-fuzz/NAME.log.
# Crashing inputs land in build-fuzz/crashes/; keep them under tests/data/fuzz/.
BUILD_FUZZ   ?= build-fuzz
FUZZ_SECONDS ?= 60
fuzz:
	bash scripts/install-deps.sh clang libclang-rt-dev
	CC=clang CXX=clang++ cmake -S . -B $(BUILD_FUZZ) $(CMAKE_FLAGS) -DCMAKE_BUILD_TYPE=Debug -DORV_FUZZ=ON -DORV_BENCH=OFF
	cmake --build $(BUILD_FUZZ) --target fuzz_theme_readers fuzz_cab_file fuzz_region_data fuzz_ce_path
	mkdir -p $(BUILD_FUZZ)/corpus/readers $(BUILD_FUZZ)/corpus/cab $(BUILD_FUZZ)/corpus/region $(BUILD_FUZZ)/corpus/cepath $(BUILD_FUZZ)/crashes tests/data/fuzz/readers tests/data/fuzz/cab tests/data/fuzz/region tests/data/fuzz/cepath
	cp resources/template/theme-template.000 $(BUILD_FUZZ)/corpus/readers/
	find tests/data/cabs -name '*.cab' -exec cp {} $(BUILD_FUZZ)/corpus/cab/ \;
	cp resources/FRData.dat $(BUILD_FUZZ)/corpus/region/
	bash scripts/fuzz-run.sh ./$(BUILD_FUZZ)/fuzz/fuzz_theme_readers $(BUILD_FUZZ)/readers.log -max_total_time=$(FUZZ_SECONDS) -artifact_prefix=$(BUILD_FUZZ)/crashes/ $(BUILD_FUZZ)/corpus/readers tests/data/fuzz/readers
	bash scripts/fuzz-run.sh ./$(BUILD_FUZZ)/fuzz/fuzz_cab_file $(BUILD_FUZZ)/cab.log -max_total_time=$(FUZZ_SECONDS) -artifact_prefix=$(BUILD_FUZZ)/crashes/ $(BUILD_FUZZ)/corpus/cab tests/data/fuzz/cab
	bash scripts/fuzz-run.sh ./$(BUILD_FUZZ)/fuzz/fuzz_region_data $(BUILD_FUZZ)/region.log -max_total_time=$(FUZZ_SECONDS) -artifact_prefix=$(BUILD_FUZZ)/crashes/ $(BUILD_FUZZ)/corpus/region tests/data/fuzz/region
	bash scripts/fuzz-run.sh ./$(BUILD_FUZZ)/fuzz/fuzz_ce_path $(BUILD_FUZZ)/cepath.log -max_total_time=$(FUZZ_SECONDS) -artifact_prefix=$(BUILD_FUZZ)/crashes/ $(BUILD_FUZZ)/corpus/cepath tests/data/fuzz/cepath

clean:
	rm -rf $(BUILD) $(BUILD_ASAN) $(BUILD_FUZZ)
