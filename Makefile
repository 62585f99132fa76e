# Formulon: `make run` builds and starts the program, `make test` builds with
# sanitizers and runs every test. Both first install missing Debian packages.

JOBS   ?= $(shell nproc)
CMAKE  := cmake -G Ninja
BUILD  := build

.PHONY: deps run test stress bench fuzz clean

deps:
	@scripts/install-deps.sh

run: deps
	$(CMAKE) -S . -B $(BUILD)/release -DCMAKE_BUILD_TYPE=RelWithDebInfo -DFLN_TESTS=OFF
	cmake --build $(BUILD)/release -j $(JOBS)
	$(BUILD)/release/app/formulon

# The programs the window, input and bus tests drive. The suite fails the tests that miss one, and
# this says which before anything is built.
TEST_PROGRAMS := Xvfb xauth xdotool xclip openbox dbus-daemon busctl gdbus setxkbmap unshare

test: deps
	@missing=; for p in $(TEST_PROGRAMS); do command -v $$p >/dev/null || missing="$$missing $$p"; done; \
	 if [ -n "$$missing" ]; then echo "make test: the tests need these programs, which are not installed:$$missing"; exit 1; fi
	$(CMAKE) -S . -B $(BUILD)/asan -DCMAKE_BUILD_TYPE=Debug -DFLN_SANITIZE=ON
	cmake --build $(BUILD)/asan -j $(JOBS)
	@rm -rf $(BUILD)/asan/test-results
	@# Every process writes its report there; what was skipped, and why, is said after the run.
	cd $(BUILD)/asan && ctest --output-on-failure -j $(JOBS); status=$$?; \
	 python3 $(CURDIR)/scripts/report-skips.py test-results; exit $$status

# The whole suite three times in a row beside a looping build of the tree at twice the machine's cores.
stress:
	@scripts/stress-test.sh

bench:
	@scripts/install-deps.sh --all
	$(CMAKE) -S . -B $(BUILD)/bench -DCMAKE_BUILD_TYPE=Release -DFLN_TESTS=OFF -DFLN_BENCH=ON
	cmake --build $(BUILD)/bench -j $(JOBS)
	@for b in $(BUILD)/bench/bench/bench_*; do [ -x $$b ] && $$b; done

# Seconds each fuzz target runs; the targets that make fewer than about 60 inputs a second (the
# selection target, whose inputs go through an X server and back) get FUZZ_SLOW_SECONDS, so that
# their run means as much.
FUZZ_SECONDS      ?= 60
FUZZ_SLOW_SECONDS ?= 300
FUZZ_SLOW := fuzz_x_selection

# The script tests' files seed the editor's targets too, where they are kept.
FUZZ_SCRIPT_SEEDS := platform/script/tests/scripts

fuzz:
	@scripts/install-deps.sh --all
	CC=clang CXX=clang++ $(CMAKE) -S . -B $(BUILD)/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DFLN_TESTS=OFF -DFLN_FUZZ=ON
	cmake --build $(BUILD)/fuzz -j $(JOBS)
	@# Each target runs through scripts/fuzz-target.sh: every sanitizer report stops it (the build
	@# makes none recoverable) and fails the rule, with the input that caused it kept in
	@# $(BUILD)/fuzz/artifacts; a leak is confirmed with whole stacks before it counts.
	@mkdir -p $(BUILD)/fuzz/artifacts
	@for f in $(BUILD)/fuzz/fuzz/fuzz_*; do [ -x $$f ] || continue; t=$$(basename $$f); \
		seconds=$(FUZZ_SECONDS); case " $(FUZZ_SLOW) " in *" $$t "*) seconds=$(FUZZ_SLOW_SECONDS);; esac; \
		echo "== $$t ($$seconds s)"; mkdir -p $(BUILD)/fuzz/corpus/$$t; \
		seeds=fuzz/corpus/$$t; [ -d $$seeds ] || seeds=; \
		case $$t in fuzz_editor|fuzz_editor_file) seeds="$$seeds $(FUZZ_SCRIPT_SEEDS)";; esac; \
		scripts/fuzz-target.sh $$f $$seconds $(BUILD)/fuzz/artifacts $(BUILD)/fuzz/corpus/$$t $$seeds || exit 1; done

clean:
	rm -rf $(BUILD)
