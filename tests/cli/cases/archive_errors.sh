# Archives the component refuses: each failure is reported as "quarnel: MESSAGE", exit 1.
. "$CLI_LIB"
printf 'ZOLT' >short.zolt
archive_header LZH 0 2 >type2.zolt
{
  archive_header XYZ 4
  entry_header a.txt 0 4 4 0
  printf 'data'
} >method.zolt
{
  archive_header NON 4
  entry_header a.txt 0 4 4 0
  printf 'da'
} >cut.zolt
quarnel list missing.zolt
echo "exit $?"
quarnel list short.zolt
echo "exit $?"
quarnel test type2.zolt
echo "exit $?"
quarnel test method.zolt
echo "exit $?"
quarnel list method.zolt
echo "exit $?"
quarnel extract -C out cut.zolt
echo "exit $?"
