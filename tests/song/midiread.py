#!/usr/bin/python3
"""Prints what Python's mido reads in a MIDI file, one line an event group:
the header, then per track its tempo, meter, key, markers, program and notes
(note-ons or note-offs at one tick grouped), and where the track ends."""
import sys

import mido


def utf8(text):
    # mido decodes meta texts as Latin-1; the file holds UTF-8.
    return text.encode("latin1").decode("utf-8")


def main(path):
    midi = mido.MidiFile(path)
    print(f"format {midi.type} ticks {midi.ticks_per_beat} tracks {len(midi.tracks)}")
    for number, track in enumerate(midi.tracks, 1):
        tick = 0
        group = None
        for msg in track:
            tick += msg.time
            if msg.type in ("note_on", "note_off"):
                kind = "on" if msg.type == "note_on" and msg.velocity > 0 else "off"
                head = f"{number} {kind} {tick} ch{msg.channel + 1}"
                if kind == "on":
                    head += f" v{msg.velocity}"
                if group and group[0] == head:
                    group[1].append(str(msg.note))
                    continue
                if group:
                    print(group[0] + ": " + " ".join(group[1]))
                group = (head, [str(msg.note)])
                continue
            if group:
                print(group[0] + ": " + " ".join(group[1]))
                group = None
            if msg.type == "set_tempo":
                print(f"{number} tempo {tick}: {msg.tempo}")
            elif msg.type == "time_signature":
                print(f"{number} meter {tick}: {msg.numerator}/{msg.denominator}")
            elif msg.type == "key_signature":
                print(f"{number} key {tick}: {msg.key}")
            elif msg.type == "marker":
                print(f"{number} marker {tick}: {utf8(msg.text)}")
            elif msg.type == "track_name":
                print(f"{number} name {tick}: {utf8(msg.name)}")
            elif msg.type == "program_change":
                print(f"{number} program {tick} ch{msg.channel + 1}: {msg.program}")
            elif msg.type == "end_of_track":
                print(f"{number} end {tick}")
            else:
                print(f"{number} {msg.type} {tick}")
        if group:
            print(group[0] + ": " + " ".join(group[1]))


main(sys.argv[1])
