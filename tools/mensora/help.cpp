#include "help.h"

#include <string>

#include "methods.h"

namespace mensora_tool {

namespace {

const char* const kInput = R"(INPUT
    FILE is a path, or - for standard input. It holds either plain numbers,
    separated by blanks, commas, tabs or line breaks, or a CSV table whose
    first line is a header (recognised by a quoted field or a field that
    starts with a letter; --column and --label always mean CSV).

    --column NAME|N
        The column that holds the values: its header text, or its number
        counting from 1. May be left out when the table has one column, or
        two of which one is the --label column. Given more than once, the
        values of all these columns are pooled into one sample (each
        column's after the one before), so that they share one set of
        classes; members are then named with their column.
    --label NAME|N
        A column whose text names each row; member lists show it instead of
        the row number.
    --missing error|skip
        An empty cell or NA is an error (the default), or with skip it is
        left out and the tool says how many were.

    Numbers are read exactly (the nearest double to the decimal text) and
    written exactly (the shortest text that reads back as the same double).
    inf, -inf and nan are numbers; 1e400 and 1e-400, beyond the range of a
    double, are errors. Any other text is an error that names the file, the
    line and the text: nothing is dropped silently.
)";

const char* const kOutput = R"(OUTPUT
    --format text|json|csv
        text (the default) is for reading. json is one object; every number
        in it is exact, and the non-finite values, which JSON has no number
        for, are the strings "NaN", "Infinity" and "-Infinity" (negative
        zero is -0.0, which JSON readers keep apart from 0). csv is one
        table with a header row. Rows are numbered from 1 (data rows of a
        CSV file, or values of a plain file, missing cells included); "id" is
        the zero-based position in the sample handed to the library.
)";

const char* const kExitStatus = R"(EXIT STATUS
    0   success
    1   select: no value lies in the window (the output says so, too)
    2   usage: unknown command or option, missing or bad option value
    3   the input file cannot be opened or read
    4   bad input data: a text that is not a number, a missing value without
        --missing skip, a malformed CSV line, binary data (a NUL or control
        character in the first 64 KiB: compressed files must be decompressed)
    5   the input holds no values
    6   --column or --label names no column, or a table with several
        columns was given without --column
    7   the library reported failure (status -1)
    8   the --svg file cannot be written
    Every failure is one line on standard error starting with "mensora: ".
)";

void Overview(std::ostream& out) {
  out << R"(NAME
    mensora - descriptive statistics and class breaks of one numeric sample

SYNOPSIS
    mensora summary FILE [--every K] [INPUT AND OUTPUT OPTIONS]
    mensora classify FILE --method M [METHOD OPTIONS] [--svg FILE] [...]
    mensora select FILE --min A --max B [...]
    mensora help [COMMAND] | mensora COMMAND --help | mensora --version

DESCRIPTION
    summary   every measure of the sample: means, mode, median, extremes,
              deviation, skewness and kurtosis
    classify  divide the sample into classes by one of fourteen methods and
              measure the fit; optionally list the members of each class and
              draw a histogram (SVG)
    select    the values in the half-open window [A, B) with their rows

)" << kInput << '\n' << kOutput << '\n' << kExitStatus << R"(
EXAMPLE
    mensora summary examples/us_states_1977.csv --column Income
    mensora classify examples/us_states_1977.csv --column Income \
        --label State --method equal --classes 5 --svg income.svg
    printf '3 1 4 1 5\n' | mensora summary - --format json
)";
}

void Summary(std::ostream& out) {
  out << R"(NAME
    mensora summary - every measure of the sample

SYNOPSIS
    mensora summary FILE [--every K] [--column NAME|N] [--label NAME|N]
                    [--missing error|skip] [--format text|json|csv]

DESCRIPTION
    Prints, each labelled in plain words: the number of values; the
    arithmetic mean; the mean weighted by each value's frequency; the
    geometric mean; the mode (the most frequent value, the first in input
    order among equally frequent ones); the median; the minimum and the
    maximum; the range; the mean absolute deviation, the sum of squared
    deviations, the variance and the standard deviation (each about the
    mean, divided by n, not n - 1); the coefficient of variation (standard
    deviation over mean); the skewness statistic g1 / sqrt(6/n) and the
    excess kurtosis statistic g2 / sqrt(24/n).

    Degenerate samples give what IEEE arithmetic gives (a zero spread makes
    the shape statistics nan, a zero mean makes the coefficient inf or nan).
    The geometric mean is shown as undefined (null in JSON, empty in CSV)
    when the product has no real root (negative) or lies beyond the
    library's range.

    --every K
        Also list every K-th value of the sorted sample: the values at sorted
        positions 1, K+1, 2K+1, ... K runs from 1 to the number of values.

)" << kInput << '\n' << kOutput << '\n' << R"(EXIT STATUS
    See mensora --help.

EXAMPLE
    mensora summary examples/new_york_air_quality_1973.csv --column Ozone \
        --missing skip --every 10
)";
}

void Classify(std::ostream& out) {
  out << R"(NAME
    mensora classify - divide the sample into classes

SYNOPSIS
    mensora classify FILE --method M [METHOD OPTIONS] [--round] [--svg FILE]
                     [--members] [INPUT AND OUTPUT OPTIONS]

DESCRIPTION
    Prints the exact breaks, one row per class with its label, its number
    of members (per column too, for pooled columns) and a bar scaled to the
    largest class, and the goodness of fit of the classes; with --members
    also the members of each class (by label or row number, with their
    values) in ascending order of value. A class [a, b) holds the values
    from a up to but not including b. The last class of the equal, step and
    count methods also holds the values at its upper break (shown [a, b]),
    and those within rounding of it (1e-7, or 4 units in the last place of
    the breaks where that is more), unless the maximum lies that far or more
    from that break; that of the stddev methods never does, that of every
    other method always does. Notes on standard error tell of values in no
    class and of classes without a value.

    Labels show the breaks with the fewest decimals that keep them apart
    and keep every member inside its label; for whole-number data a class
    shows the first and last whole numbers it can hold ([0, 9]), a class
    of one value that value, an empty class ends in (empty), the open
    classes of the stddev methods read (-inf, b) and [b, inf).

    The fit: GVF, the goodness of variance fit 1 - SDCM / SDAM (SDAM the
    squared deviations of the classified values from their mean, SDCM those
    from their class means; 1 means the classes explain all the spread), and
    ADCM, the absolute deviations of the values around their class medians.
    JSON output also has SDAM, SDCM and the tabular accuracy index (tai).

METHODS
)";
  for (const Method& method : Methods()) {
    out << "    " << method.name;
    for (unsigned bit = 1; bit <= kLastParam; bit <<= 1) {
      if ((method.required & bit) != 0) out << ' ' << ParamSynopsis(static_cast<Param>(bit));
      if ((method.optional & bit) != 0) out << " [" << ParamSynopsis(static_cast<Param>(bit)) << ']';
    }
    out << "\n        " << method.summary << " (" << method.member << ")";
    if (method.detail != nullptr) {
      out << ";\n        ";
      for (const char* c = method.detail; *c != '\0'; ++c) {
        out << *c;
        if (*c == '\n') out << "        ";
      }
    }
    out << ".\n";
  }
  out << R"(
    --classes K   a whole number of 1 or more
    --steps L     a whole number of 0 or more
    --step W      a number above 0
    --times T     a number of 0 or more
    --start, --end, --min, --max   numbers
    --breaks LIST, --percentiles LIST
                  numbers separated by commas, ascending (percentiles from 0
                  to 100), at least two
    --head-share S  a number between 0 and 1 (default 0.4)
    --hinge H     a number of 0 or more (default 1.5)
    --classes auto  natural only, with --gvf G (0 to 1, default 0.8) and
                  --max-classes N (2 or more, default 10)

    Without --end or --max the data maximum is used, without --min the data
    minimum: the tool passes the library's sentinels 999 (AUTO_MAX) and
    -999 (AUTO_MIN). The library cannot tell a limit that really is 999 (or
    -999, or within 1e-7 of either) from the sentinel: such a limit is
    replaced by the data extreme, and the tool says so on standard error.

    When the library reports failure (for instance --start above the end,
    giving no class), the tool prints nothing but the error, exit status 7.

    --svg FILE
        Also draw a histogram of the sample to FILE (SVG): bars stacked by
        class, coloured from light to dark, the class breaks as dashed
        lines, axis labels and a legend of the intervals with their counts.
    --round
        Replace each break by the roundest number (fewest significant
        digits, then the nearest) that leaves every value in its class, "in
        no class" included; a break with no value beyond it moves out by at
        most one class width; infinite breaks and the outer breaks of the
        stddev methods stay.
    --members
        Also list the members of every class, in every format (one line,
        object or row per value: as long as the input).

)" << kInput << '\n' << kOutput << R"(
    csv has one row per class: class, lower, upper, upper_included,
    class_label, count, id, row, column (of pooled columns), label, value,
    gvf, adcm (the fit of the whole classification, on every row), the
    member fields empty; with --members one row per member instead, and one
    with the member fields empty for an empty class.

EXIT STATUS
    See mensora --help.

EXAMPLE
    mensora classify examples/us_states_1977.csv --column Income \
        --label State --method equal --classes 4 --members --svg income.svg
    mensora classify data.txt --method step --start 0 --step 10 --end 50
    mensora classify examples/us_states_1977.csv --column Income \
        --label State --method natural --classes 4 --svg natural.svg
    mensora classify examples/us_states_1977.csv --column Income \
        --method natural --classes auto --gvf 0.9
    mensora classify examples/us_states_1977.csv --column Income \
        --method natural --classes 4 --round
    mensora classify examples/new_york_air_quality_1973.csv --column Ozone \
        --column Temp --missing skip --method quantile --classes 4 --round
)";
}

void Select(std::ostream& out) {
  out << R"(NAME
    mensora select - the values in a value window

SYNOPSIS
    mensora select FILE --min A --max B [--no-members]
                   [INPUT AND OUTPUT OPTIONS]

DESCRIPTION
    Lists, in input order, the values x with A <= x < B, each with its row
    (or label) and value; with --no-members only their count (csv: one row
    of min, max, count). A and B may be inf or -inf. A nan value lies in
    every window (the library counts a value as outside only when A > x or
    x >= B). When no value lies in the window the output says so and the
    exit status is 1.

)" << kInput << '\n' << kOutput << R"(
EXIT STATUS
    See mensora --help.

EXAMPLE
    mensora select examples/us_states_1977.csv --column Murder \
        --label State --min 10 --max inf
)";
}

}  // namespace

void WriteHelp(std::ostream& out, Command command) {
  switch (command) {
    case Command::kSummary: Summary(out); break;
    case Command::kClassify: Classify(out); break;
    case Command::kSelect: Select(out); break;
    case Command::kNone: Overview(out); break;
  }
}

}  // namespace mensora_tool
