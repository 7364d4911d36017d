// Parses a JCAMP-DX file of ours with the jcampconverter package and checks every block's x
// and y values against expected.json (from check_readers.py), within the written precision:
// x has 4 decimals, y is truncated to a multiple of the block's YFACTOR.
//
//   node jcamp_reader_check.mjs NODE_PREFIX FILE.jdx expected.json
import { readFileSync } from 'node:fs';

const [prefix, jdx, expectedPath] = process.argv.slice(2);
const { convert } = await import(`${prefix}/node_modules/jcampconverter/dist/jcampconverter.js`);
const expected = JSON.parse(readFileSync(expectedPath, 'utf8'));
let text = readFileSync(jdx, 'latin1');
// With one property the viewer writes the traces as blocks without a block header, one
// after the other; a JCAMP-DX reader takes the first "##END=" for the end of the file (this
// one fails on the next record). Only the first block is read and checked then.
let note = '';
if (expected.properties === 1 && expected.blocks.length > 1) {
  text = text.slice(0, text.indexOf('##END=\n') + 7);
  note = ` (first of ${expected.blocks.length} header-less blocks; the others are unreadable to it)`;
  expected.blocks = expected.blocks.slice(0, 1);
}
const parsed = convert(text, { keepRecordsRegExp: /.*/ });
const spectra = parsed.flatten.filter((entry) => entry.spectra.length > 0);

const failures = [];
if (spectra.length !== expected.blocks.length) {
  failures.push(`${spectra.length} blocks read, ${expected.blocks.length} expected`);
}
spectra.forEach((entry, b) => {
  const want = expected.blocks[b];
  if (!want) return;
  const { x, y } = entry.spectra[0].data;
  const factor = Number(entry.info.YFACTOR);
  if (x.length !== want.x.length || y.length !== want.y.length) {
    failures.push(`block ${b + 1}: ${x.length} points, ${want.x.length} expected`);
    return;
  }
  for (let i = 0; i < x.length; ++i) {
    const xError = Math.abs(x[i] - want.x[i]);
    const yError = Math.abs(y[i] - want.y[i]);
    // x: 4 written decimals (and the reader may compute x from FIRSTX and the spacing);
    // y: truncation loses less than one factor; the store's values come from its text form,
    // rounded to 6 significant digits.
    if (xError > 5e-4 * Math.max(1, Math.abs(want.x[i])) || yError > factor * (1 + 1e-9) + 5.1e-6 * Math.abs(want.y[i])) {
      failures.push(`block ${b + 1} point ${i}: read (${x[i]}, ${y[i]}), store (${want.x[i]}, ${want.y[i]})`);
      break;
    }
  }
  if (expected.properties > 1 && Number(entry.info.BLOCKID) !== (b % expected.properties) + 1) {
    failures.push(`block ${b + 1}: BLOCK_ID ${entry.info.BLOCKID}`);
  }
});
if (failures.length) {
  console.log(`${jdx}: ${failures.join('; ')}`);
  process.exit(1);
}
console.log(`${jdx}: jcampconverter read ${spectra.length} blocks equal to the store${note}`);
