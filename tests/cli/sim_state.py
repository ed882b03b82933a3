#!/usr/bin/env python3
"""Prints one value of a simulated keyboard's saved state: sim_state.py FILE NAME [INDEX]."""
import sys

def main():
    path, name = sys.argv[1], sys.argv[2]
    for line in open(path):
        words = line.split()
        if words and words[0] == name:
            values = [int(v) for v in words[1:]]
            if len(sys.argv) > 3:
                index = int(sys.argv[3])
                print(values[index] if index < len(values) else "")
            else:
                print(" ".join(str(v) for v in values))
            return
    print("")

main()
