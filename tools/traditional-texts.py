#!/usr/bin/env python3
"""Makes the Traditional Chinese texts from the Simplified ones with OpenCC,
at build time; nothing of it is written by hand.

  traditional-texts.py catalog OPENCC CONFIG LANGUAGE SOURCES_TS OUTPUT_TS
      a Qt Linguist catalog for LANGUAGE (zh_TW) holding, for every source
      text of SOURCES_TS, that text converted by OpenCC's CONFIG
  traditional-texts.py lines OPENCC INPUT OUTPUT CONFIG=LANGUAGE...
      INPUT with, after each line that names zh_CN (a desktop entry's
      Name[zh_CN]=, an AppStream xml:lang="zh_CN"), that line converted for
      each LANGUAGE, its zh_CN renamed
"""
import subprocess
import sys
import xml.etree.ElementTree as ET


def convert(opencc, config, texts):
    """`texts` through OpenCC, in one run; it converts line by line."""
    lines = sorted({line for text in texts for line in text.split('\n')})
    run = subprocess.run([opencc, '-c', config], input=('\n'.join(lines) + '\n').encode(),
                         capture_output=True, check=False)
    converted = run.stdout.decode().split('\n')
    if run.returncode != 0 or len(converted) != len(lines) + 1:
        sys.exit(f'opencc -c {config} failed: {run.stderr.decode().strip()}')
    table = dict(zip(lines, converted))
    return ['\n'.join(table[line] for line in text.split('\n')) for text in texts]


def catalog(opencc, config, language, sources_ts, output_ts):
    tree = ET.parse(sources_ts)
    root = tree.getroot()
    root.set('language', language)
    messages = list(root.iter('message'))
    texts = []
    for message in messages:
        # A source's text and the tails of its <byte/> elements (carriage returns).
        source = message.find('source')
        texts += [source.text or ''] + [byte.tail or '' for byte in source]
    converted = iter(convert(opencc, config, texts))
    for message in messages:
        source = message.find('source')
        message.remove(message.find('translation'))  # the English; a comment stays, as it tells texts apart
        translation = ET.SubElement(message, 'translation')
        translation.text = next(converted)
        for byte in source:
            copy = ET.SubElement(translation, byte.tag, byte.attrib)
            copy.tail = next(converted)
    tree.write(output_ts, encoding='utf-8', xml_declaration=True)


def localized_lines(opencc, input_path, output_path, targets):
    with open(input_path, encoding='utf-8') as file:
        lines = file.read().split('\n')
    marked = {line for line in lines if '[zh_CN]=' in line or 'xml:lang="zh_CN"' in line}
    copies = {}
    for target in targets:
        config, language = target.rsplit('=', 1)
        copies[language] = dict(zip(sorted(marked), convert(opencc, config, sorted(marked))))
    out = []
    for line in lines:
        out.append(line)
        if line in marked:
            for language, table in copies.items():
                out.append(table[line].replace('zh_CN', language))
    with open(output_path, 'w', encoding='utf-8') as file:
        file.write('\n'.join(out))


if __name__ == '__main__':
    if len(sys.argv) == 7 and sys.argv[1] == 'catalog':
        catalog(*sys.argv[2:])
    elif len(sys.argv) >= 6 and sys.argv[1] == 'lines':
        localized_lines(sys.argv[2], sys.argv[3], sys.argv[4], sys.argv[5:])
    else:
        sys.exit(__doc__)
