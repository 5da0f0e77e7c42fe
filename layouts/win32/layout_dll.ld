/*
 * Section layout of a layout DLL: code, constant tables, exports, version
 * resource and base relocations. Unlike the toolchain's default script it
 * adds no empty import directory and no constructor lists.
 */
OUTPUT_FORMAT(pei-i386)
SECTIONS
{
  . = SIZEOF_HEADERS;
  . = ALIGN(__section_alignment__);
  .text __image_base__ + __section_alignment__ :
  {
    *(.text) *(SORT(.text$*)) *(.text.*)
  }
  .rdata BLOCK(__section_alignment__) :
  {
    *(.rdata) *(SORT(.rdata$*))
  }
  .edata BLOCK(__section_alignment__) :
  {
    *(.edata)
  }
  .rsrc BLOCK(__section_alignment__) (READONLY) : SUBALIGN(4)
  {
    KEEP (*(.rsrc)) KEEP (*(.rsrc$*))
  }
  .reloc BLOCK(__section_alignment__) :
  {
    *(.reloc)
  }
  /DISCARD/ :
  {
    *(.drectve) *(.note.GNU-stack) *(.comment) *(.eh_frame*) *(.debug*)
  }
}
