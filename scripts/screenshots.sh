#!/usr/bin/env bash
# Redraws the README's screenshots into docs/ from the real window on Qt's offscreen platform.
# Usage: scripts/screenshots.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
cmake --build "$build" --target readme_screenshots
QT_QPA_PLATFORM=offscreen "$build/scripts/readme_screenshots" docs 2>/dev/null
echo "wrote docs/generate-checksums.png, check-files.png, problems-first.png, long-work.png,"
echo "folder-report.png, compare-match.png, download-check.png and download-no-list.png"
