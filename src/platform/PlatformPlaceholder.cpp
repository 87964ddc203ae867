// Platform services: written with the disassembler issue.
