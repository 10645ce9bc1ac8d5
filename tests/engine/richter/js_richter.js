// Judges minified scripts with acorn, a JavaScript parser the engine does not share: the result
// must parse exactly when the original parses; where it does, the tokens the parser read (type,
// source text and "a line break before it") and the syntax trees must be the same. Where the
// original does not parse there are no such tokens: acorn's tokenizer alone only guesses whether
// a "/" divides (it reads "a?.typeof / b" and "do { {} /x/ }" wrongly).
//   node js_richter.js CASES
// CASES holds records "<encoding> <module> <length before> <length after>\n" followed by the two
// texts; encoding is "cp1252" or "utf8", module "0" or "1". Prints one line per failed case and
// a closing count; exits 1 when a case failed, 2 when the input cannot be read.
'use strict';
const fs = require('fs');
const acorn = require('acorn');

const decoders = { cp1252: new TextDecoder('windows-1252'), utf8: new TextDecoder('utf-8') };
const lineBreak = /[\n\r\u2028\u2029]/;

// The syntax tree without positions and the tokens the parser read (its tokenizer alone guesses
// after "}" where the parser knows), each as type, source text and "a line break before it";
// null when the text does not parse.
function read(src, sourceType) {
  const toks = [];
  let ast;
  try {
    ast = acorn.parse(src, { ecmaVersion: 'latest', sourceType, onToken: toks });
  } catch (e) {
    return null;
  }
  const tokens = [];
  let prevEnd = 0;
  for (const t of toks) {
    if (t.type.label === 'eof') break;
    // The first token's line break decides nothing: leading whitespace may go.
    const nl = tokens.length > 0 && lineBreak.test(src.slice(prevEnd, t.start));
    tokens.push({ text: `${t.type.label} ${JSON.stringify(src.slice(t.start, t.end))}${nl ? ' NL' : ''}`, at: t.start });
    prevEnd = t.end;
  }
  const tree = JSON.stringify(ast, (k, v) => {
    if (k === 'start' || k === 'end' || k === 'loc' || k === 'range') return undefined;
    return typeof v === 'bigint' ? `${v}n` : v;
  });
  return { tokens, tree };
}

let parsed = 0;

function judge(before, after, sourceType) {
  const a = read(before, sourceType);
  const b = read(after, sourceType);
  if ((a === null) !== (b === null)) return `parses ${a !== null} / ${b !== null}`;
  if (a === null) return null;
  ++parsed;
  for (let i = 0; i < Math.max(a.tokens.length, b.tokens.length); ++i) {
    const x = a.tokens[i];
    const y = b.tokens[i];
    if (x === undefined || y === undefined || x.text !== y.text) {
      const at = x === undefined ? before.length : x.at;
      return `token ${i}: ${x && x.text} / ${y && y.text} after ${JSON.stringify(before.slice(Math.max(0, at - 60), at))}`;
    }
  }
  if (a.tree !== b.tree) return 'different syntax trees';
  return null;
}

// With --zeilen, a server for the HTML judge: each line of standard input is a JSON array
// [script, module]; each answer line the tokens (as compared above) and the tree, or null.
if (process.argv[2] === '--zeilen') {
  const rl = require('readline').createInterface({ input: process.stdin });
  rl.on('line', (line) => {
    const [src, module] = JSON.parse(line);
    const r = read(src, module ? 'module' : 'script');
    process.stdout.write(JSON.stringify(r && [r.tokens.map((t) => t.text), r.tree]) + '\n');
  });
  return;
}

const data = fs.readFileSync(process.argv[2]);
let pos = 0;
let count = 0;
let failed = 0;
while (pos < data.length) {
  const nl = data.indexOf(10, pos);
  const head = data.subarray(pos, nl).toString('latin1').split(' ');
  if (nl < 0 || head.length !== 4 || !(head[0] in decoders)) {
    console.log(`cannot read case ${count} at byte ${pos}`);
    process.exit(2);
  }
  const [enc, module, n1, n2] = [head[0], head[1] === '1', Number(head[2]), Number(head[3])];
  const start = nl + 1;
  const before = decoders[enc].decode(data.subarray(start, start + n1));
  const after = decoders[enc].decode(data.subarray(start + n1, start + n1 + n2));
  pos = start + n1 + n2;
  const why = judge(before, after, module ? 'module' : 'script');
  if (why !== null) {
    ++failed;
    console.log(`FAIL case ${count}: ${why}`);
  }
  ++count;
}
console.log(`${parsed} of ${count} parse (tokens and trees compared)`);
console.log(`${count - failed} passed, ${failed} failed`);
process.exit(failed > 0 ? 1 : 0);
