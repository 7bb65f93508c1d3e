# list shows method, sizes, date, attributes and lock; --key opens locked entries; extract with
# names expands only those (names compared without regard to case).
. "$CLI_LIB"
{
  archive_header RLE 9
  # readme.txt: RLE 41 94 05 42 = AAAAAB, checksum 5 * 0x41 + 0x42 = 391
  entry_header readme.txt 1 6 4 391
  printf '\101\224\005\102'
  # secret.txt: locked with key 1234, checksum 3 * 0x42 + 1234 = 1432; read-only and hidden, 2 January 2003 03:04:06
  entry_header 'sub\secret.txt' 1 3 3 1432 1 773986435 35
  printf 'BBB'
} >locked.zolt
quarnel list locked.zolt
quarnel test locked.zolt
echo "no key: $?"
quarnel test --key 1235 locked.zolt
echo "wrong key: $?"
quarnel test --key 1234 locked.zolt
echo "key: $?"
quarnel extract --key 1234 -C out locked.zolt
cat out/readme.txt out/sub/secret.txt
echo
stat -c %A out/sub/secret.txt
quarnel extract -C only locked.zolt README.TXT
ls -R only
