#!/usr/bin/env python3
"""Each Traditional Chinese catalog the build made translates every source
text that the English catalog lists, and none of its translations holds a
character that OpenCC's s2t would still change: nothing Simplified is left,
nor brought in by our phrase lists.
  TraditionalCatalogTest.py LCONVERT OPENCC SOURCES_TS CATALOG.qm...
"""
import re
import subprocess
import sys
import xml.etree.ElementTree as ET


def text(element):
    """The text of a source or translation, its <byte/> elements included."""
    return (element.text or '') + ''.join(chr(int(byte.get('value')[1:], 16)) + (byte.tail or '')
                                          for byte in element)


def messages(root):
    return {(context.findtext('name'), text(message.find('source'))): message.find('translation')
            for context in root.iter('context') for message in context.iter('message')}


lconvert, opencc, sources_ts = sys.argv[1:4]
sources = set(messages(ET.parse(sources_ts).getroot()))
failures = []
for qm in sys.argv[4:]:
    compiled = subprocess.run([lconvert, '-i', qm, '-of', 'ts', '-o', '-'], capture_output=True, check=True).stdout
    catalog = messages(ET.fromstring(compiled))
    failures += [f'{qm}: no translation of {source!r}' for source in sorted(sources - set(catalog))]
    failures += [f'{qm}: {source!r} is not a source text' for source in sorted(set(catalog) - sources)]
    lines = sorted({line for translation in catalog.values() if translation is not None
                    for line in re.split('[\r\n]', text(translation))})
    failures += [f'{qm}: {key[1]!r} has an empty translation' for key, translation in catalog.items()
                 if translation is None or (not text(translation) and key[1])]
    traditional = subprocess.run([opencc, '-c', 's2t.json'], input=('\n'.join(lines) + '\n').encode(),
                                 capture_output=True, check=True).stdout.decode().split('\n')
    failures += [f'{qm}: {line!r} still holds Simplified characters ({s2t!r} in Traditional)'
                 for line, s2t in zip(lines, traditional) if line != s2t]
    print(f'{qm}: {len(catalog)} texts')

print('\n'.join(failures) or 'PASS: every text translated, nothing Simplified left')
sys.exit(1 if failures else 0)
