// SPDX-License-Identifier: GPL-2.0-or-later
// Prints the text of every page of each PDF named as an argument as pdf.js hands it to its find
// bar: the items' strings run together, a line end where an item ends its line. Each file's text
// follows a line "\x01<n>" with its place among the arguments.
import { getDocument } from 'pdfjs-dist/legacy/build/pdf.mjs';
import { readFile } from 'node:fs/promises';

for (const [index, path] of process.argv.slice(2).entries()) {
  const data = new Uint8Array(await readFile(path));
  const pdf = await getDocument({ data, verbosity: 0, isEvalSupported: false }).promise;
  let text = '';
  for (let number = 1; number <= pdf.numPages; ++number) {
    const content = await (await pdf.getPage(number)).getTextContent();
    for (const item of content.items)
      text += (item.str ?? '') + (item.hasEOL ? '\n' : '');
    text += '\n\f';
  }
  process.stdout.write(`\x01${index}\n${text}\n`);
  await pdf.destroy();
}
