// CSV for the demo: fields separated by commas, quoted fields with "" for a
// quote, lines ending in LF or CRLF. A header row names the columns unless
// every field of the first row is a number. Empty and NA cells are missing.

const NUMBER = /^[+-]?(\d+\.?\d*|\.\d+)([eE][+-]?\d+)?$/;

export function isMissing(cell) {
  return cell === '' || cell === 'NA';
}

// The rows of the text, each an array of field strings (unquoted, trimmed).
export function parseRows(text) {
  const rows = [];
  let row = [];
  let field = '';
  let quoted = false;
  for (let i = 0; i < text.length; ++i) {
    const c = text[i];
    if (quoted) {
      if (c === '"' && text[i + 1] === '"') {
        field += '"';
        ++i;
      } else if (c === '"') {
        quoted = false;
      } else {
        field += c;
      }
    } else if (c === '"') {
      quoted = true;
    } else if (c === ',') {
      row.push(field.trim());
      field = '';
    } else if (c === '\n' || c === '\r') {
      if (c === '\r' && text[i + 1] === '\n') ++i;
      row.push(field.trim());
      field = '';
      if (row.length > 1 || row[0] !== '') rows.push(row);
      row = [];
    } else {
      field += c;
    }
  }
  row.push(field.trim());
  if (row.length > 1 || row[0] !== '') rows.push(row);
  return rows;
}

// The columns of the text whose cells are all numbers or missing, in file
// order: {name, values (Float64Array, the missing cells left out), missing}.
export function numericColumns(text) {
  const rows = parseRows(text);
  if (rows.length === 0) return [];
  const headed = !rows[0].every((cell) => NUMBER.test(cell));
  const names = headed ? rows[0] : rows[0].map((_, c) => `column ${c + 1}`);
  const body = headed ? rows.slice(1) : rows;
  const columns = [];
  names.forEach((name, c) => {
    const cells = body.map((row) => row[c] ?? '');
    const present = cells.filter((cell) => !isMissing(cell));
    if (present.length === 0 || !present.every((cell) => NUMBER.test(cell))) return;
    columns.push({ name, values: Float64Array.from(present, Number), missing: cells.length - present.length });
  });
  return columns;
}
