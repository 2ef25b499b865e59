// Tokenises scripts with the editor grammar the way the editor does and checks what a script
// author would see: every word the engine runs coloured as a command, nothing else.
'use strict';
const test = require('node:test');
const assert = require('node:assert/strict');
const fs = require('node:fs');
const path = require('node:path');

const extension = path.join(__dirname, '..');
const root = path.join(extension, '..', '..');
let vsctm;
let oniguruma;
try {
  vsctm = require('vscode-textmate');
  oniguruma = require('vscode-oniguruma');
} catch (e) {
  throw new Error(`${e.message}\nInstall the node packages first: bash tools/install-deps.sh`);
}

async function loadGrammar() {
  const wasm = fs.readFileSync(path.join(path.dirname(require.resolve('vscode-oniguruma')), 'onig.wasm'));
  await oniguruma.loadWASM(wasm.buffer);
  const grammarPath = path.join(extension, 'syntaxes', 'orq.tmLanguage.json');
  const registry = new vsctm.Registry({
    onigLib: Promise.resolve({
      createOnigScanner: (patterns) => new oniguruma.OnigScanner(patterns),
      createOnigString: (text) => new oniguruma.OnigString(text),
    }),
    loadGrammar: async (scope) =>
      scope === 'source.orq' ? vsctm.parseRawGrammar(fs.readFileSync(grammarPath, 'utf8'), grammarPath) : null,
  });
  return registry.loadGrammar('source.orq');
}

// Every line of a script as [{text, scope}], scope the innermost one.
function tokenise(grammar, script) {
  let stack = vsctm.INITIAL;
  return script.split(/\r?\n/).map((line) => {
    const result = grammar.tokenizeLine(line, stack);
    stack = result.ruleStack;
    return result.tokens.map((t) => ({ text: line.slice(t.startIndex, t.endIndex), scope: t.scopes.at(-1) }));
  });
}

// The scope of the token that is exactly `fragment` (its first occurrence), or a note saying
// how the tokens were cut when no token is.
function scopeOf(grammar, line, fragment) {
  const tokens = tokenise(grammar, line)[0];
  const token = tokens.find((t) => t.text === fragment);
  return token ? token.scope : `no token "${fragment}" in ${JSON.stringify(tokens)}`;
}

// The scope of the token where `fragment` (its first occurrence) starts.
function scopeAt(grammar, line, fragment) {
  let at = line.indexOf(fragment);
  assert.ok(at >= 0, line);
  return tokenise(grammar, line)[0].find((t) => (at -= t.text.length) < 0).scope;
}

// The words the engine knows, read from its own table rather than from the grammar.
function commandWords() {
  const table = fs.readFileSync(path.join(root, 'engine', 'command_table.cpp'), 'utf8');
  return [...table.matchAll(/\{kCmd\w+, "([A-Z0-9]+)"/g)].map((m) => m[1]);
}

function mixedCase(word) {
  return [...word].map((c, i) => (i % 2 ? c.toLowerCase() : c)).join('');
}

test('the extension takes .Orq files with this grammar and ";" comments', () => {
  const read = (name) => JSON.parse(fs.readFileSync(path.join(extension, name), 'utf8'));
  const manifest = read('package.json');
  const language = manifest.contributes.languages.find((l) => l.id === 'orq');
  assert.deepEqual(language.extensions, ['.Orq', '.orq']);
  const grammar = manifest.contributes.grammars.find((g) => g.language === 'orq');
  assert.equal(read(grammar.path).scopeName, grammar.scopeName);
  const config = read(language.configuration);
  assert.equal(config.comments.lineComment, ';');
  assert.deepEqual(config.autoClosingPairs.map((p) => p.open), ['[', '(', '"']);
});

test('the editor grammar', async (t) => {
  const grammar = await loadGrammar();

  await t.test('every command word is a keyword in any case and place, and only as a whole word', () => {
    const words = commandWords();
    assert.equal(words.length, 85);
    for (const word of words) {
      for (const [line, fragment] of [
        [`${word} a,b`, word],
        [`  ${word.toLowerCase()}`, word.toLowerCase()],
        [`\t${mixedCase(word)}=1`, mixedCase(word)],
        [`[Main] ${word} x`, word],
      ]) {
        assert.match(scopeOf(grammar, line, fragment), /^keyword\./, line);
      }
      assert.match(scopeOf(grammar, `${word}X a`, `${word}X`), /^invalid\.illegal\.unknown-command/);
    }
  });

  await t.test('tricky lines', () => {
    const cases = [
      // [line, fragment, scope it must have (a RegExp) or must not have (a string)]
      ['SETT A=1', 'SETT', /^invalid\.illegal\.unknown-command/],
      ['\u017fET A=1', '\u017fET', /^invalid\.illegal\.unknown-command/], // a long s folds to "s"
      ['SET_X=1', 'SET', /^keyword\./], // the word ends at the first character that is not a letter or digit
      ['SET A=1 ; kept in the value', '; kept in the value', 'comment'],
      ['   ; indented comment', '; indented comment', /^comment\.line/],
      ['[Main] ; note', '; note', /^comment\.line/],
      ['[Name with blanks]', 'Name with blanks', /^entity\.name\.section/],
      ['[Unclosed', '[Unclosed', /^invalid\.illegal\.section/],
      ['SETREGVALUE HKLM\\Software\\%%Product%%,Name=%%Value%%', 'Product', /^variable\.other\.symbol/],
      ['SETREGVALUE HKLM\\Software\\%%Product%%,Name=%%Value%%', 'Value', /^variable\.other\.symbol/],
      ['RETURNIF %%Version%%>=4.0|%%Force%%==TRUE, TRUE', 'Version', /^variable\.other\.symbol/],
      ['RETURNIF %%Version%%>=4.0|%%Force%%==TRUE, TRUE', '>=', /^keyword\.operator\.comparison/],
      ['RETURNIF %%Version%%>=4.0|%%Force%%==TRUE, TRUE', '|', /^keyword\.operator\.logical/],
      ['RETURNIF %%Version%%>=4.0|%%Force%%==TRUE, TRUE', '4.0', /^constant\.numeric/],
      ['CALLIF %%A%%!=1, Result=Next', '=Next', 'keyword.operator'], // an assignment after the condition
      ['SET A=x<y', '<', 'keyword.operator'], // no condition outside the conditional words
      ['SETREGVALUE HKLM\\Software\\X,Count=/REG_DWORD:1', '/REG_DWORD', /^constant\.other\.switch/],
      ['INSTALLCAB R=C:/Updates/defs.cab,0,0,4,2,0,17', '/Updates', 'constant.other.switch'],
      ['INSTALLCAB R=C:/Updates/defs.cab,0,0,4,2,0,17', '17', /^constant\.numeric/],
      ['COPYONEFILE a\\b2.txt,c', '2', 'constant.numeric'],
    ];
    for (const [line, fragment, expected] of cases) {
      if (expected instanceof RegExp) assert.match(scopeOf(grammar, line, fragment), expected, line);
      else assert.ok(!scopeAt(grammar, line, fragment).startsWith(expected), line);
    }
  });

  await t.test('the example scripts and the reference page\'s lines colour every line and mark nothing as wrong', () => {
    const scripts = [];
    const walk = (dir) =>
      fs.readdirSync(dir, { withFileTypes: true }).forEach((e) => {
        const full = path.join(dir, e.name);
        if (e.isDirectory()) walk(full);
        else if (/\.orq$/i.test(e.name)) scripts.push(full);
      });
    walk(path.join(root, 'examples'));
    assert.ok(scripts.length > 0);
    const page = fs.readFileSync(path.join(root, 'docs', 'commands.md'), 'utf8');
    const pageLines = [...page.matchAll(/^- (?:Form|Example): `(.*)`$/gm)].map((m) => m[1]);
    assert.ok(pageLines.length >= 2 * 85);
    const texts = scripts.map((s) => [path.relative(root, s), fs.readFileSync(s, 'latin1')]);
    texts.push(['docs/commands.md', pageLines.join('\n')]);
    for (const [name, text] of texts) {
      tokenise(grammar, text).forEach((tokens, i) => {
        const where = `${name}:${i + 1}`;
        const shown = tokens.filter((tk) => tk.text.trim() !== '');
        assert.ok(!shown.some((tk) => tk.scope.startsWith('invalid')), `${where}: ${JSON.stringify(shown)}`);
        if (shown.length) assert.match(shown[0].scope, /^(keyword\.|comment\.|punctuation\.definition\.section)/, where);
      });
    }
  });
});
