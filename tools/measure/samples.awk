# Reads procstat.exe's sample lines into tick[n] and value[n, name]; the measurement scripts
# put this text in front of their awk programs (SAMPLES_AWK in common.sh).
function read_sample(   i, pair) {
  if ($1 !~ /^[0-9]+$/) return
  samples++
  tick[samples] = $1
  for (i = 2; i <= NF; i++) {
    split($i, pair, "=")
    value[samples, pair[1]] = pair[2]
  }
}
