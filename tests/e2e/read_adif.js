// Reads an export with tcadif and compares every record with what was typed.
//   node read_adif.js TCADIF_DIR FILE 'CALL QSO_DATE TIME_ON BAND MODE RST_SENT'...
'use strict';

const fs = require('fs');
const [tcadifDir, file, ...typed] = process.argv.slice(2);
const { ADIF } = require(tcadifDir);

const names = ['CALL', 'QSO_DATE', 'TIME_ON', 'BAND', 'MODE', 'RST_SENT'];
// ADIF enumerations (band, mode) are case-insensitive; tcadif hands them back in capitals.
const enumerations = new Set(['BAND', 'MODE']);

const qsos = ADIF.parse(fs.readFileSync(file, 'latin1')).toObject().qsos;
let wrong = 0;
if (qsos.length !== typed.length) {
  console.log(`tcadif found ${qsos.length} records in ${file}, ${typed.length} were typed`);
  wrong++;
}
typed.forEach((line, i) => {
  const values = line.split(' ');
  names.forEach((name, k) => {
    const got = qsos[i] ? qsos[i][name] : undefined;
    const same = got !== undefined &&
      (enumerations.has(name) ? got.toUpperCase() === values[k].toUpperCase() : got === values[k]);
    if (!same) {
      console.log(`record ${i + 1}: ${name} is ${JSON.stringify(got)}, typed ${JSON.stringify(values[k])}`);
      wrong++;
    }
  });
});
if (wrong) process.exit(1);
console.log(`e2e: tcadif read ${qsos.length} records from ${file}: every field as typed`);
