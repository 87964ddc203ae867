/* Memory layout of a PIC32MX program as the vendor's default script lays it
   out: code and read-only data in program flash (kseg0), variables in RAM
   (kseg1). Only the sections a freestanding CFunction build produces. */
OUTPUT_FORMAT("elf32-tradlittlemips")
OUTPUT_ARCH(mips)
/* A file of CFunctions has no start of its own: the interpreter calls each
   block. Without a main the linker warns "cannot find entry symbol main"
   and takes the start of .text; Travonix does not use that address. */
ENTRY(main)

MEMORY
{
    kseg0_program_mem (rx)  : ORIGIN = 0x9D000000, LENGTH = 0x80000
    kseg1_data_mem    (w!x) : ORIGIN = 0xA0000000, LENGTH = 0x20000
}

SECTIONS
{
    .text :
    {
        *(.text .text.*)
    } > kseg0_program_mem

    /* Read-only data follows the code directly, as in the vendor's layout. */
    .rodata :
    {
        *(.rodata .rodata.*)
    } > kseg0_program_mem

    .reginfo : { *(.reginfo) } > kseg0_program_mem

    .data :
    {
        *(.data .data.*)
    } > kseg1_data_mem AT > kseg0_program_mem

    .bss :
    {
        *(.bss .bss.* COMMON)
    } > kseg1_data_mem

    /* Bookkeeping sections that only lengthen the listing; .comment would
       also carry the compiler's version into it. */
    /DISCARD/ :
    {
        *(.comment) *(.pdr) *(.gnu.attributes) *(.MIPS.abiflags)
        *(.note .note.*) *(.mdebug.*)
    }
}
