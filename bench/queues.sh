# Sourced by the benchmarks that need a print server with many queues: a
# private scheduler (tests/cups/private-cupsd.sh) with N queues of generated
# PPDs, queue i (named q000, q001, ...) a Korvane RM-4750 when i % 10 == 0,
# another model otherwise. Expects $root (the source tree) and $work (the
# run's folder); the caller stops the scheduler at $work/cupsd on exit.
readonly scheduler_script=$root/tests/cups/private-cupsd.sh
readonly sample_ppd=$root/resources/ppd/korvane-rm4750.ppd
readonly korvane_every=10   # queue i is a Korvane when i % 10 == 0

# A PPD of about SIZE_KB kilobytes: the sample's options, then padding
# options of three choices each until the size is reached, the way large
# vendor PPDs are mostly options. Generic models get their own ModelName.
make_ppd() {
  local index=$1 size_kb=$2 out=$3
  if ((index % korvane_every == 0)); then
    cat "$sample_ppd" >"$out"
  else
    sed -e "s/^\*ModelName: .*/*ModelName: \"Generic Laser $index\"/" \
        -e "s/^\*NickName: .*/*NickName: \"Generic Laser $index PostScript\"/" \
        -e "s/^\*ShortNickName: .*/*ShortNickName: \"Generic Laser $index\"/" "$sample_ppd" >"$out"
  fi
  awk -v target=$((size_kb * 1024)) -v have="$(stat -c %s "$out")" 'BEGIN {
    for (n = 1; have < target; ++n) {
      block = sprintf("\n*OpenUI *Pad%d/Padding option %d: PickOne\n*OrderDependency: 50 AnySetup *Pad%d\n*DefaultPad%d: One\n", n, n, n, n)
      block = block sprintf("*Pad%d One/First choice: \"<</Pad%d 1>> setpagedevice\"\n", n, n)
      block = block sprintf("*Pad%d Two/Second choice: \"<</Pad%d 2>> setpagedevice\"\n", n, n)
      block = block sprintf("*Pad%d Three/Third choice: \"<</Pad%d 3>> setpagedevice\"\n*CloseUI: *Pad%d\n", n, n, n)
      printf "%s", block
      have += length(block)
    }
  }' >>"$out"
}

# Starts the private scheduler with COUNT queues of SIZE_KB PPDs, written
# into its printers.conf before it starts (lpadmin takes a third of a second
# a queue); each queue prints to /dev/null.
start_scheduler_with_queues() {
  local count=$1 size_kb=$2 dir=$work/cupsd
  bash "$scheduler_script" stop "$dir" >/dev/null 2>&1 || true
  mkdir -p "$dir/ppd"
  : >"$dir/printers.conf"
  for ((i = 0; i < count; ++i)); do
    local name
    name=$(printf 'q%03d' "$i")
    [[ -f $dir/ppd/$name.ppd ]] || make_ppd "$i" "$size_kb" "$dir/ppd/$name.ppd"
    printf '<Printer %s>\nInfo %s\nDeviceURI file:///dev/null\nState Idle\nAccepting Yes\n</Printer>\n' \
      "$name" "$name" >>"$dir/printers.conf"
  done
  CUPS_SERVER=$(bash "$scheduler_script" start "$dir")
  export CUPS_SERVER
  local listed
  listed=$(lpstat -p | grep -c '^printer ' || true)
  ((listed == count)) || { echo "the scheduler has $listed queues, not $count" >&2; exit 1; }
}

