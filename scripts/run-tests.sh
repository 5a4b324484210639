#!/usr/bin/env bash
# Installs what is missing, builds Velmora with its tests and runs every test:
# first the whole suite, then the unit and network tests once more built with
# AddressSanitizer and UndefinedBehaviorSanitizer, and the threaded ones with
# ThreadSanitizer. Last it builds the Debian package and checks that apt
# could install it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh test

jobs=$(nproc)
cmake -S . -B build -G Ninja -DVELMORA_BUILD_TESTS=ON >/dev/null
cmake --build build -j "$jobs"
(cd build && ctest --output-on-failure -j "$jobs")

cmake -S . -B build-sanitize -G Ninja -DVELMORA_BUILD_TESTS=ON -DVELMORA_BUILD_APP=OFF \
    -DVELMORA_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build build-sanitize -j "$jobs"
(cd build-sanitize && ctest --output-on-failure -j "$jobs" -L 'unit|net')

# The tests whose code runs threads of its own, once more with ThreadSanitizer:
# the communicator's sender and transports, and the Utility page's sweep.
cmake -S . -B build-tsan -G Ninja -DVELMORA_BUILD_TESTS=ON -DVELMORA_TSAN=ON >/dev/null
cmake --build build-tsan -j "$jobs" --target comm_net_tests utility_page_tests
(cd build-tsan && ctest --output-on-failure -j "$jobs" -R '^(comm_net_tests|utility_page_tests)$')

# The Debian package from the first build: its metadata and files, and
# whether apt finds every dependency among Debian's packages (a simulation,
# nothing is installed).
rm -f build/velmora_*.deb
(cd build && cpack -G DEB >/dev/null)
deb=$(ls build/velmora_*.deb)
dpkg-deb -I "$deb"
dpkg-deb -c "$deb"
# The libraries the binaries link must be among the dependencies: without
# dpkg-shlibdeps, CPack would quietly list the hand-written ones only.
depends=$(dpkg-deb -f "$deb" Depends)
for lib in libc6 libstdc++6 libfreetype6 libhidapi-libusb0 liboscpack1 libpng16-16 libjpeg62-turbo; do
    case ", $depends," in
        *", $lib "* | *", $lib,"*) ;;
        *) echo "the package does not depend on $lib: $depends" >&2; exit 1 ;;
    esac
done
# As on a machine with nothing installed (an empty package status), so
# every dependency must resolve from Debian's archive, not from what this
# build machine happens to have.
empty_status=$(mktemp)
apt-get install -s -o Dir::State::status="$empty_status" "./$deb" | tail -n 3
rm -f "$empty_status"
