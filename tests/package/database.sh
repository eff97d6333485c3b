#!/usr/bin/env bash
# The installed segment database is the administrator's, with dpkg itself doing the work in a
# temporary root: a database put in /var/lib/haojian survives an upgrade to a higher version,
# a reinstall, and a remove and install again, and the program reading kelvaronset.dat beside
# it answers from that file; a purge removes it and says so. A link put there stays a link,
# even one that leads nowhere. Whoever never replaced the database gets the newer one an upgrade
# ships. A database replaced in the old place, beside the programs in a package that kept it
# there, is kept by the upgrade too, and so is one of the package that held both programs.
set -euo pipefail
deb=$1
cli_deb=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
source "$(dirname "$0")/lib/dpkg_root.sh"
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
cd "$work"
version=$(dpkg-deb -f "$deb" Version)

# The shipped database, one that the administrator made (its first segment answers as another
# line's does) and the one a later package ships (its second segment changed the same way).
dpkg-deb --fsys-tarfile "$cli_deb" | tar -xO ./usr/share/haojian/kelvaronset.dat >shipped.dat
# A line of another province than the first line's.
other_line=$(awk -v province="$(head -n 1 shipped.dat | cut -c8-9)" \
    'substr($0, 8, 2) != province' shipped.dat | tail -n 1)
code=${other_line:7}
{ head -n 1 shipped.dat | cut -c1-7 | tr -d '\n'; printf '%s\n' "$code"; tail -n +2 shipped.dat; } >mine.dat
{
    head -n 1 shipped.dat
    sed -n 2p shipped.dat | cut -c1-7 | tr -d '\n'
    printf '%s\n' "$code"
    tail -n +3 shipped.dat
} >newer.dat
cmp -s mine.dat shipped.dat && fail "the test database equals the shipped one"
first=$(head -n 1 shipped.dat | cut -c1-7)1234
second=$(sed -n 2p shipped.dat | cut -c1-7)1234
printf '%s\n%s\n' "$first" "$second" >numbers.txt
answer_of() { "$1" lookup --utf8 --db "$2" numbers.txt; }
dpkg-deb --fsys-tarfile "$cli_deb" | tar -x -C "$work" ./usr/lib/haojian/haojian-cli
cli=$work/usr/lib/haojian/haojian-cli
answer_of "$cli" shipped.dat >shipped.answer
answer_of "$cli" mine.dat >mine.answer
answer_of "$cli" newer.dat >newer.answer
cmp -s shipped.answer mine.answer && fail "the test database answers as the shipped one"
cmp -s shipped.answer newer.answer && fail "the newer database answers as the shipped one"

# The later haojian-cli: a higher version whose shipped database is newer.
ship_newer() { cp "$work/newer.dat" usr/share/haojian/kelvaronset.dat; }
repack "$cli_deb" later.deb "$version+1" ship_newer
# The one package haojian of 1.1.0, which held both programs and the database.
dpkg-deb -x "$deb" window_tree
combined_layout() {
    sed -i -e 's/^Package: .*/Package: haojian/' -e '/^Replaces:/d' DEBIAN/control
    cp -a "$work/window_tree/." .
}
repack "$cli_deb" combined.deb "$version" combined_layout
# The same as an earlier package laid it out: the database a plain file beside the programs,
# no maintainer scripts.
old_layout() {
    combined_layout
    rm usr/lib/haojian/kelvaronset.dat DEBIAN/preinst DEBIAN/postinst DEBIAN/postrm
    mv usr/share/haojian/kelvaronset.dat usr/lib/haojian/kelvaronset.dat
    rmdir usr/share/haojian
}
repack "$cli_deb" earlier.deb "1.0.0" old_layout

# What the program in ROOT answers for the numbers, reading the database beside it.
answers() { (cd "$work" && "$1/usr/bin/haojian-cli" lookup --utf8 numbers.txt); }
in_use=var/lib/haojian/kelvaronset.dat
expect() {
    local root=$1 database=$2 what=$3
    cmp -s "$root/$in_use" "$database" || fail "$what: $in_use is not $database"
    answers "$root" >answer.txt 2>&1 || fail "$what: the lookup failed: $(cat answer.txt)"
    cmp -s answer.txt "${database%.dat}.answer" || fail "$what: answers $(cat answer.txt)"
}

# A replaced database survives an upgrade, a reinstall, a remove and an install again.
r=$work/replaced
dpkg_root_init "$r"
dpkg_in "$r" -i "$cli_deb" "$deb" >/dev/null 2>>dpkg.log
[ "$(readlink "$r/usr/lib/haojian/kelvaronset.dat")" = "../../../$in_use" ] ||
    fail "usr/lib/haojian/kelvaronset.dat is not a link to $in_use"
expect "$r" shipped.dat "installed"
cp mine.dat "$r/$in_use"
expect "$r" mine.dat "replaced"
dpkg_in "$r" -i later.deb >/dev/null 2>log.txt
expect "$r" mine.dat "upgraded to $version+1"
grep -q "keeping your segment database" log.txt || fail "the upgrade did not say it kept it"
dpkg_in "$r" -i later.deb >/dev/null 2>&1
expect "$r" mine.dat "reinstalled"
dpkg_in "$r" --remove haojian haojian-cli >/dev/null 2>log.txt
[ ! -e "$r/usr/lib/haojian/haojian-cli" ] || fail "remove left the program"
cmp -s "$r/$in_use" mine.dat || fail "remove did not keep the replaced database"
grep -q "keeping your segment database" log.txt || fail "remove did not say it kept it"
dpkg_in "$r" -i later.deb >/dev/null 2>&1
expect "$r" mine.dat "removed and installed again"
dpkg_in "$r" --purge haojian-cli >/dev/null 2>log.txt
[ ! -e "$r/var/lib/haojian" ] || fail "purge left $(ls -A "$r/var/lib/haojian")"
! grep -q "keeping" log.txt || fail "purge said it kept the database it removed: $(cat log.txt)"
grep -q "removing your segment database" log.txt || fail "purge did not say it removed it"
echo "replaced: kept through upgrade, reinstall, remove; gone with purge, which says so"

# Never replaced: the upgrade brings the newer database; remove takes the copy away.
r=$work/shipped
dpkg_root_init "$r"
dpkg_in "$r" -i "$cli_deb" "$deb" >/dev/null 2>>dpkg.log
dpkg_in "$r" -i later.deb >/dev/null 2>>dpkg.log
expect "$r" newer.dat "not replaced, upgraded"
dpkg_in "$r" --remove haojian haojian-cli >/dev/null 2>>dpkg.log
[ ! -e "$r/var/lib/haojian" ] || fail "remove left the package's own copy"
echo "not replaced: the upgrade brought the newer database; remove took it away"

# A link is the administrator's, whatever it leads to: one to a copy of the shipped database
# stays a link through an upgrade that brings a newer one; one that leads nowhere (a share
# not mounted) stays through a reinstall, which says so; a purge removes the link alone.
r=$work/linked
dpkg_root_init "$r"
dpkg_in "$r" -i "$cli_deb" >/dev/null 2>>dpkg.log
mkdir -p "$work/share"
cp shipped.dat "$work/share/kelvaronset.dat"
ln -sf "$work/share/kelvaronset.dat" "$r/$in_use"
dpkg_in "$r" -i later.deb >/dev/null 2>>dpkg.log
[ "$(readlink "$r/$in_use")" = "$work/share/kelvaronset.dat" ] ||
    fail "the upgrade replaced a link to a copy of the shipped database"
expect "$r" shipped.dat "linked, upgraded"
mv "$work/share" "$work/unmounted"
dpkg_in "$r" -i later.deb >/dev/null 2>log.txt
[ "$(readlink "$r/$in_use")" = "$work/share/kelvaronset.dat" ] ||
    fail "the reinstall replaced a link that leads nowhere"
grep -q "keeping your segment database.*leads to no file" log.txt ||
    fail "the reinstall did not say it kept the link: $(cat log.txt)"
mv "$work/unmounted" "$work/share"
dpkg_in "$r" --purge haojian-cli >/dev/null 2>>dpkg.log
[ ! -e "$r/var/lib/haojian" ] && [ -f "$work/share/kelvaronset.dat" ] ||
    fail "purge did not remove the link alone"
echo "linked: the link kept, dangling or not; purge removed the link alone"

# Replaced beside the programs of a package that kept it there: the upgrade keeps it, whichever
# of the two packages comes first.
r=$work/earlier
dpkg_root_init "$r"
dpkg_in "$r" -i earlier.deb >/dev/null 2>>dpkg.log
cp mine.dat "$r/usr/lib/haojian/kelvaronset.dat"
dpkg_in "$r" -i "$deb" "$cli_deb" >/dev/null 2>&1
expect "$r" mine.dat "replaced in the old place, upgraded"
r=$work/earlier_cli_first
dpkg_root_init "$r"
dpkg_in "$r" -i earlier.deb >/dev/null 2>>dpkg.log
cp mine.dat "$r/usr/lib/haojian/kelvaronset.dat"
dpkg_in "$r" -i "$cli_deb" "$deb" >/dev/null 2>&1
expect "$r" mine.dat "replaced in the old place, upgraded, haojian-cli first"
r=$work/earlier_shipped
dpkg_root_init "$r"
dpkg_in "$r" -i earlier.deb >/dev/null 2>>dpkg.log
dpkg_in "$r" -i "$deb" later.deb >/dev/null 2>>dpkg.log
expect "$r" newer.dat "not replaced in the old place, upgraded"
echo "the old layout: a replaced database kept, a shipped one renewed"

# The one package of both programs, replaced by the two: the database and both programs stay;
# purging both leaves nothing.
r=$work/combined
dpkg_root_init "$r"
dpkg_in "$r" -i combined.deb >/dev/null 2>>dpkg.log
cp mine.dat "$r/$in_use"
dpkg_in "$r" -i "$deb" "$cli_deb" >/dev/null 2>log.txt || fail "the split over the one package: $(cat log.txt)"
expect "$r" mine.dat "the one package split in two"
[ -x "$r/usr/lib/haojian/haojian" ] || fail "the split lost the desktop program"
dpkg_in "$r" --purge haojian haojian-cli >/dev/null 2>>dpkg.log
left=$(cd "$r" && find usr var/lib/haojian -mindepth 1 2>/dev/null | grep -v '^usr/\(bin\|lib\|share\)$' || true)
[ -z "$left" ] || fail "purging both left $left"
echo "the one package of both programs: split in two, the database kept"

if [ "$failures" -ne 0 ]; then exit 1; fi
echo "the segment database is the administrator's"
