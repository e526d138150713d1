#!/usr/bin/env bash
# render-tips-page.sh [out-dir]: renders the popup's page of search tips
# (finder/resources/html/Sokra.html) with headless Chromium at the pane's size,
# both rows of its tips, and once more laid into the popup's footer with the
# web-search label and the About button over it, as the popup stacks them.
# Wine here has no HTML engine, so this is the way to look at the page.
# Needs chromium (apt-get install -y chromium) and ImageMagick's convert.
set -euo pipefail
root=$(dirname "$(dirname "$(realpath "$0")")")
out=${1:-$root/build/tips-render}
mkdir -p "$out"
page=$root/finder/resources/html/Sokra.html
images=$root/finder/resources/images

# The second row: the same page with its turn held at six seconds.
second=$out/Sokra-second-row.html
sed 's|</style>|.rows ul { animation-play-state: paused; animation-delay: -6s; }\n</style>|' "$page" >"$second"

shoot() { # url width height file
  chromium --headless --disable-gpu --no-sandbox --hide-scrollbars --screenshot="$4" \
    --window-size="$2,$3" "$1" 2>/dev/null
}
shoot "file://$page" 363 40 "$out/pane-363x40.png"
shoot "file://$page" 377 40 "$out/pane-377x40.png"
shoot "file://$second" 363 40 "$out/pane-second-row.png"

# The footer of the 493 x 440 popup: the pane at (3, 400) under the label at
# (5, 388) and the About button at (380, 420).
for row in pane-363x40 pane-second-row; do
  convert "$images/popup.png" "$out/$row.png" -geometry +3+400 -composite \
    "$images/web-search.png" -geometry +5+390 -composite \
    "$images/about-link.png" -geometry +380+420 -composite \
    -crop 493x60+0+380 +repage -scale 200% "$out/footer-${row#pane-}.png"
done
echo "Pictures in $out"
