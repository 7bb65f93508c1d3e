# expand and compress: one codec run over raw bytes, through pipes or files.
printf '\101\224\005\102' | quarnel expand -m rle | od -An -tx1
printf 'AAAAAB' | quarnel compress -m rle | od -An -tx1
printf 'A' | quarnel compress -m lzh | od -An -tx1
printf '\346\200' | quarnel expand -m lzh --size 1 | od -An -tx1
# Sixty blanks are one match in LZH.
printf '%60s' '' | quarnel compress -m lzh | od -An -tx1
seq 1 20000 >numbers
quarnel compress -m lzh numbers numbers.lzh
quarnel expand -m lzh --size $(wc -c <numbers) numbers.lzh numbers.out
cmp numbers numbers.out && echo "lzh file round trip"
quarnel compress -m rle - numbers.rle <numbers
quarnel expand -m rle numbers.rle | cmp - numbers && echo "rle round trip"
quarnel compress -m rle numbers numbers
echo "same file: $?"
