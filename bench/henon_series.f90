! The program a user would write instead of the explorer, in Fortran: the Henon map
! (a = 1.4, b = 0.3, x0 = y0 = 0.1) stepped as the explorer steps it, N points of x after
! NTRANS steps, each written by WRITE(1,'(F20.10)') x.
!
!   henon_series FILE [NTRANS] [N]
program henon_series
  implicit none
  character(len=4096) :: path, argument
  integer :: transient, length, i, m
  double precision :: x, y, next
  transient = 1000
  length = 999999
  call get_command_argument(1, path)
  if (command_argument_count() >= 2) then
    call get_command_argument(2, argument)
    read (argument, *) transient
  end if
  if (command_argument_count() >= 3) then
    call get_command_argument(3, argument)
    read (argument, *) length
  end if
  x = 0.1d0
  y = 0.1d0
  do i = 1, transient
    next = (0.3d0 * y - 1.4d0 * x * x) + 1.0d0
    y = x
    x = next
  end do
  open (1, file=trim(path), status='replace')
  do m = 1, length
    if (m > 1) then
      next = (0.3d0 * y - 1.4d0 * x * x) + 1.0d0
      y = x
      x = next
    end if
    write (1, '(F20.10)') x
  end do
  close (1)
end program henon_series
